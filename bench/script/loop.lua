-- (a) Ten million integer additions in a loop.
local function main()
  local s = 0
  for i = 1, 10000000 do
    s = s + i
  end
  return s
end
print(main())
