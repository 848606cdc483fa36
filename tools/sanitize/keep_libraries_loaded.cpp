// Linked into the game in the sanitizer build only: no library is unloaded before the
// process ends.
//
// LeakSanitizer looks for leaks as the process ends, and names the code that made each
// block by the libraries loaded at that moment. A system library that keeps a few
// blocks for good and is unloaded before the end is reported against whatever lies at
// its old addresses by then, and no suppression can name it: Mesa's software GL driver
// is unloaded when SDL closes the window and its GL context, and its two blocks came
// out as allocated inside the sanitizer's own runtime. With every library kept until
// exit, each leak is reported against the library it lies in, so tools/lsan.supp can
// name the system libraries' own leaks and nothing else. The game's own code lives in
// the executable, which is never unloaded: its leaks are reported as before.
//
// The executable's dlclose comes first in the dynamic linker's search, ahead of the C
// library's (and the sanitizer runtime's), so SDL's and Mesa's calls end here: a library
// they close stays loaded, as if opened with RTLD_NODELETE. Opening it again finds it
// still there. The release build has none of this.
extern "C" int dlclose(void*) {
    return 0;
}
