-- (d) One million property reads through an __index function (Lua's host-object hook).
local obj = setmetatable({}, { __index = function(t, k) if k == "Value" then return 3 end end })
local function main()
  local s = 0
  for i = 1, 1000000 do
    s = s + obj.Value
  end
  return s
end
print(main())
