-- Compiling a 2,000-line chunk of assignments and ifs, like the script benchmark's file.
local lines = {}
for k = 1, 2000 do
  if k % 4 == 0 then lines[#lines + 1] = "if a > " .. k .. " then a = a - 1 end"
  else lines[#lines + 1] = "a = a + " .. k .. " * 2" end
end
local chunk = "local a = 0\n" .. table.concat(lines, "\n")
local rounds = 200
local t0 = os.clock()
for _ = 1, rounds do assert(load(chunk)) end
print(string.format("compile: %.0f lines/s", 2000 * rounds / (os.clock() - t0)))
