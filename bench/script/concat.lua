-- (b) One million concatenations of short strings; the variable starts over every 100.
local function main()
  local s = ""
  for i = 1, 1000000 do
    if i % 100 == 0 then s = "" end
    s = s .. "ab"
  end
  return #s
end
print(main())
