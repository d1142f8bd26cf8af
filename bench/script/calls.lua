-- (c) One million calls of a small function.
local function add2(x, y)
  return x + y
end
local function main()
  local s = 0
  for i = 1, 1000000 do
    s = add2(s, i)
  end
  return s
end
print(main())
