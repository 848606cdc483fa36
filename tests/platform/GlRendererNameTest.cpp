// Software GL drivers told from hardware ones by their renderer strings.
#include "platform/GlRendererName.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(GlRendererNameTest, SoftwareDriversAreToldFromHardware) {
    struct Case {
        const char* renderer;
        bool software;
    };
    const Case cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
        {"softpipe", true},
        {"Mesa X11 Software Rasterizer", true},
        {"Mesa DRI swrast", true},
        {"SWR (LLVM 6.0, 256 bits)", true},
        {"Apple Software Renderer", true},
        {"GDI Generic", true},
        {"LLVMPIPE (uppercase all the same)", true},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
        {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
        {"virgl (Intel(R) Iris Xe Graphics)", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSoftwareGlRenderer(c.renderer), c.software) << c.renderer;
}

} // namespace
} // namespace vorlane
