-- The script benchmark's arithmetic loop, as Lua 5.4 runs it: while loop over locals.
local t0 = os.clock()
local i = 0
local s = 0
while i < 10000000 do
  s = s + i * 2
  i = i + 1
end
print(string.format("arithmetic loop: %.1f ns/iteration", (os.clock() - t0) * 1e9 / 10000000))
