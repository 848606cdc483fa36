-- wrk script: every request is a new, valid game submission (its own name, so none
-- is a duplicate), encoded here the way the game encodes it: the text's bits, most
-- significant first, five at a time into the 32-character alphabet.
local alphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789"
local key = os.getenv("VORLANE_KEY") or "K"

local function encode(text)
  -- The text is padded to a multiple of 5 characters, so no zero bits go in front.
  local out = {}
  local acc, bits = 0, 0
  for i = 1, #text do
    acc = acc * 256 + text:byte(i)
    bits = bits + 8
    while bits >= 5 do
      bits = bits - 5
      local v = math.floor(acc / 2 ^ bits) % 32
      out[#out + 1] = alphabet:sub(v + 1, v + 1)
    end
    acc = acc % 2 ^ bits
  end
  return table.concat(out)
end

local threads = 0
function setup(thread)
  threads = threads + 1
  thread:set("tid", threads)
end

local sent = 0
function request()
  sent = sent + 1
  local name = "W" .. tid .. "N" .. sent
  local score = (sent % 200000) * 5 + 5
  local text = "type=0|name=" .. name .. "|score=" .. score .. "|key=" .. key .. "|p=|add=Benchland|z="
  while #text % 5 ~= 0 do text = text .. "0" end
  return wrk.format("GET", "/cgi/version.pl?hs&prg=Vorlane&inf=" .. encode(text))
end
