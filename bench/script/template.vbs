' (e) A generated page: 200 lines of literals and expressions, the layout script
' preparation writes (literal array, one output variable). Main runs it 10,000 times.
Function ew_HtmlEncode(s)
  ew_HtmlEncode = Replace(Replace(s, "&", "&amp;"), "<", "&lt;")
End Function

Function ovScriptEngine()
On Error Resume Next
Dim ovAr(200)
Dim ovOut
ovAr(1) = "<tr class=""row1""><td>Field 1</td><td>"
ovAr(2) = "<tr class=""row0""><td>Field 2</td><td>"
ovAr(3) = "<tr class=""row1""><td>Field 3</td><td>"
ovAr(4) = "<tr class=""row0""><td>Field 4</td><td>"
ovAr(5) = "<tr class=""row1""><td>Field 5</td><td>"
ovAr(6) = "<tr class=""row0""><td>Field 6</td><td>"
ovAr(7) = "<tr class=""row1""><td>Field 7</td><td>"
ovAr(8) = "<tr class=""row0""><td>Field 8</td><td>"
ovAr(9) = "<tr class=""row1""><td>Field 9</td><td>"
ovAr(10) = "<tr class=""row0""><td>Field 10</td><td>"
ovAr(11) = "<tr class=""row1""><td>Field 11</td><td>"
ovAr(12) = "<tr class=""row0""><td>Field 12</td><td>"
ovAr(13) = "<tr class=""row1""><td>Field 13</td><td>"
ovAr(14) = "<tr class=""row0""><td>Field 14</td><td>"
ovAr(15) = "<tr class=""row1""><td>Field 15</td><td>"
ovAr(16) = "<tr class=""row0""><td>Field 16</td><td>"
ovAr(17) = "<tr class=""row1""><td>Field 17</td><td>"
ovAr(18) = "<tr class=""row0""><td>Field 18</td><td>"
ovAr(19) = "<tr class=""row1""><td>Field 19</td><td>"
ovAr(20) = "<tr class=""row0""><td>Field 20</td><td>"
ovAr(21) = "<tr class=""row1""><td>Field 21</td><td>"
ovAr(22) = "<tr class=""row0""><td>Field 22</td><td>"
ovAr(23) = "<tr class=""row1""><td>Field 23</td><td>"
ovAr(24) = "<tr class=""row0""><td>Field 24</td><td>"
ovAr(25) = "<tr class=""row1""><td>Field 25</td><td>"
ovAr(26) = "<tr class=""row0""><td>Field 26</td><td>"
ovAr(27) = "<tr class=""row1""><td>Field 27</td><td>"
ovAr(28) = "<tr class=""row0""><td>Field 28</td><td>"
ovAr(29) = "<tr class=""row1""><td>Field 29</td><td>"
ovAr(30) = "<tr class=""row0""><td>Field 30</td><td>"
ovAr(31) = "<tr class=""row1""><td>Field 31</td><td>"
ovAr(32) = "<tr class=""row0""><td>Field 32</td><td>"
ovAr(33) = "<tr class=""row1""><td>Field 33</td><td>"
ovAr(34) = "<tr class=""row0""><td>Field 34</td><td>"
ovAr(35) = "<tr class=""row1""><td>Field 35</td><td>"
ovAr(36) = "<tr class=""row0""><td>Field 36</td><td>"
ovAr(37) = "<tr class=""row1""><td>Field 37</td><td>"
ovAr(38) = "<tr class=""row0""><td>Field 38</td><td>"
ovAr(39) = "<tr class=""row1""><td>Field 39</td><td>"
ovAr(40) = "<tr class=""row0""><td>Field 40</td><td>"
ovAr(41) = "<tr class=""row1""><td>Field 41</td><td>"
ovAr(42) = "<tr class=""row0""><td>Field 42</td><td>"
ovAr(43) = "<tr class=""row1""><td>Field 43</td><td>"
ovAr(44) = "<tr class=""row0""><td>Field 44</td><td>"
ovAr(45) = "<tr class=""row1""><td>Field 45</td><td>"
ovAr(46) = "<tr class=""row0""><td>Field 46</td><td>"
ovAr(47) = "<tr class=""row1""><td>Field 47</td><td>"
ovAr(48) = "<tr class=""row0""><td>Field 48</td><td>"
ovAr(49) = "<tr class=""row1""><td>Field 49</td><td>"
ovAr(50) = "<tr class=""row0""><td>Field 50</td><td>"
ovAr(51) = "<tr class=""row1""><td>Field 51</td><td>"
ovAr(52) = "<tr class=""row0""><td>Field 52</td><td>"
ovAr(53) = "<tr class=""row1""><td>Field 53</td><td>"
ovAr(54) = "<tr class=""row0""><td>Field 54</td><td>"
ovAr(55) = "<tr class=""row1""><td>Field 55</td><td>"
ovAr(56) = "<tr class=""row0""><td>Field 56</td><td>"
ovAr(57) = "<tr class=""row1""><td>Field 57</td><td>"
ovAr(58) = "<tr class=""row0""><td>Field 58</td><td>"
ovAr(59) = "<tr class=""row1""><td>Field 59</td><td>"
ovAr(60) = "<tr class=""row0""><td>Field 60</td><td>"
ovAr(61) = "<tr class=""row1""><td>Field 61</td><td>"
ovAr(62) = "<tr class=""row0""><td>Field 62</td><td>"
ovAr(63) = "<tr class=""row1""><td>Field 63</td><td>"
ovAr(64) = "<tr class=""row0""><td>Field 64</td><td>"
ovAr(65) = "<tr class=""row1""><td>Field 65</td><td>"
ovAr(66) = "<tr class=""row0""><td>Field 66</td><td>"
ovAr(67) = "<tr class=""row1""><td>Field 67</td><td>"
ovAr(68) = "<tr class=""row0""><td>Field 68</td><td>"
ovAr(69) = "<tr class=""row1""><td>Field 69</td><td>"
ovAr(70) = "<tr class=""row0""><td>Field 70</td><td>"
ovAr(71) = "<tr class=""row1""><td>Field 71</td><td>"
ovAr(72) = "<tr class=""row0""><td>Field 72</td><td>"
ovAr(73) = "<tr class=""row1""><td>Field 73</td><td>"
ovAr(74) = "<tr class=""row0""><td>Field 74</td><td>"
ovAr(75) = "<tr class=""row1""><td>Field 75</td><td>"
ovAr(76) = "<tr class=""row0""><td>Field 76</td><td>"
ovAr(77) = "<tr class=""row1""><td>Field 77</td><td>"
ovAr(78) = "<tr class=""row0""><td>Field 78</td><td>"
ovAr(79) = "<tr class=""row1""><td>Field 79</td><td>"
ovAr(80) = "<tr class=""row0""><td>Field 80</td><td>"
ovAr(81) = "<tr class=""row1""><td>Field 81</td><td>"
ovAr(82) = "<tr class=""row0""><td>Field 82</td><td>"
ovAr(83) = "<tr class=""row1""><td>Field 83</td><td>"
ovAr(84) = "<tr class=""row0""><td>Field 84</td><td>"
ovAr(85) = "<tr class=""row1""><td>Field 85</td><td>"
ovAr(86) = "<tr class=""row0""><td>Field 86</td><td>"
ovAr(87) = "<tr class=""row1""><td>Field 87</td><td>"
ovAr(88) = "<tr class=""row0""><td>Field 88</td><td>"
ovAr(89) = "<tr class=""row1""><td>Field 89</td><td>"
ovAr(90) = "<tr class=""row0""><td>Field 90</td><td>"
ovAr(91) = "<tr class=""row1""><td>Field 91</td><td>"
ovAr(92) = "<tr class=""row0""><td>Field 92</td><td>"
ovAr(93) = "<tr class=""row1""><td>Field 93</td><td>"
ovAr(94) = "<tr class=""row0""><td>Field 94</td><td>"
ovAr(95) = "<tr class=""row1""><td>Field 95</td><td>"
ovAr(96) = "<tr class=""row0""><td>Field 96</td><td>"
ovAr(97) = "<tr class=""row1""><td>Field 97</td><td>"
ovAr(98) = "<tr class=""row0""><td>Field 98</td><td>"
ovAr(99) = "<tr class=""row1""><td>Field 99</td><td>"
ovAr(100) = "<tr class=""row0""><td>Field 100</td><td>"
ovAr(101) = "<tr class=""row1""><td>Field 101</td><td>"
ovAr(102) = "<tr class=""row0""><td>Field 102</td><td>"
ovAr(103) = "<tr class=""row1""><td>Field 103</td><td>"
ovAr(104) = "<tr class=""row0""><td>Field 104</td><td>"
ovAr(105) = "<tr class=""row1""><td>Field 105</td><td>"
ovAr(106) = "<tr class=""row0""><td>Field 106</td><td>"
ovAr(107) = "<tr class=""row1""><td>Field 107</td><td>"
ovAr(108) = "<tr class=""row0""><td>Field 108</td><td>"
ovAr(109) = "<tr class=""row1""><td>Field 109</td><td>"
ovAr(110) = "<tr class=""row0""><td>Field 110</td><td>"
ovAr(111) = "<tr class=""row1""><td>Field 111</td><td>"
ovAr(112) = "<tr class=""row0""><td>Field 112</td><td>"
ovAr(113) = "<tr class=""row1""><td>Field 113</td><td>"
ovAr(114) = "<tr class=""row0""><td>Field 114</td><td>"
ovAr(115) = "<tr class=""row1""><td>Field 115</td><td>"
ovAr(116) = "<tr class=""row0""><td>Field 116</td><td>"
ovAr(117) = "<tr class=""row1""><td>Field 117</td><td>"
ovAr(118) = "<tr class=""row0""><td>Field 118</td><td>"
ovAr(119) = "<tr class=""row1""><td>Field 119</td><td>"
ovAr(120) = "<tr class=""row0""><td>Field 120</td><td>"
ovAr(121) = "<tr class=""row1""><td>Field 121</td><td>"
ovAr(122) = "<tr class=""row0""><td>Field 122</td><td>"
ovAr(123) = "<tr class=""row1""><td>Field 123</td><td>"
ovAr(124) = "<tr class=""row0""><td>Field 124</td><td>"
ovAr(125) = "<tr class=""row1""><td>Field 125</td><td>"
ovAr(126) = "<tr class=""row0""><td>Field 126</td><td>"
ovAr(127) = "<tr class=""row1""><td>Field 127</td><td>"
ovAr(128) = "<tr class=""row0""><td>Field 128</td><td>"
ovAr(129) = "<tr class=""row1""><td>Field 129</td><td>"
ovAr(130) = "<tr class=""row0""><td>Field 130</td><td>"
ovAr(131) = "<tr class=""row1""><td>Field 131</td><td>"
ovAr(132) = "<tr class=""row0""><td>Field 132</td><td>"
ovAr(133) = "<tr class=""row1""><td>Field 133</td><td>"
ovAr(134) = "<tr class=""row0""><td>Field 134</td><td>"
ovAr(135) = "<tr class=""row1""><td>Field 135</td><td>"
ovAr(136) = "<tr class=""row0""><td>Field 136</td><td>"
ovAr(137) = "<tr class=""row1""><td>Field 137</td><td>"
ovAr(138) = "<tr class=""row0""><td>Field 138</td><td>"
ovAr(139) = "<tr class=""row1""><td>Field 139</td><td>"
ovAr(140) = "<tr class=""row0""><td>Field 140</td><td>"
ovAr(141) = "<tr class=""row1""><td>Field 141</td><td>"
ovAr(142) = "<tr class=""row0""><td>Field 142</td><td>"
ovAr(143) = "<tr class=""row1""><td>Field 143</td><td>"
ovAr(144) = "<tr class=""row0""><td>Field 144</td><td>"
ovAr(145) = "<tr class=""row1""><td>Field 145</td><td>"
ovAr(146) = "<tr class=""row0""><td>Field 146</td><td>"
ovAr(147) = "<tr class=""row1""><td>Field 147</td><td>"
ovAr(148) = "<tr class=""row0""><td>Field 148</td><td>"
ovAr(149) = "<tr class=""row1""><td>Field 149</td><td>"
ovAr(150) = "<tr class=""row0""><td>Field 150</td><td>"
ovAr(151) = "<tr class=""row1""><td>Field 151</td><td>"
ovAr(152) = "<tr class=""row0""><td>Field 152</td><td>"
ovAr(153) = "<tr class=""row1""><td>Field 153</td><td>"
ovAr(154) = "<tr class=""row0""><td>Field 154</td><td>"
ovAr(155) = "<tr class=""row1""><td>Field 155</td><td>"
ovAr(156) = "<tr class=""row0""><td>Field 156</td><td>"
ovAr(157) = "<tr class=""row1""><td>Field 157</td><td>"
ovAr(158) = "<tr class=""row0""><td>Field 158</td><td>"
ovAr(159) = "<tr class=""row1""><td>Field 159</td><td>"
ovAr(160) = "<tr class=""row0""><td>Field 160</td><td>"
ovAr(161) = "<tr class=""row1""><td>Field 161</td><td>"
ovAr(162) = "<tr class=""row0""><td>Field 162</td><td>"
ovAr(163) = "<tr class=""row1""><td>Field 163</td><td>"
ovAr(164) = "<tr class=""row0""><td>Field 164</td><td>"
ovAr(165) = "<tr class=""row1""><td>Field 165</td><td>"
ovAr(166) = "<tr class=""row0""><td>Field 166</td><td>"
ovAr(167) = "<tr class=""row1""><td>Field 167</td><td>"
ovAr(168) = "<tr class=""row0""><td>Field 168</td><td>"
ovAr(169) = "<tr class=""row1""><td>Field 169</td><td>"
ovAr(170) = "<tr class=""row0""><td>Field 170</td><td>"
ovAr(171) = "<tr class=""row1""><td>Field 171</td><td>"
ovAr(172) = "<tr class=""row0""><td>Field 172</td><td>"
ovAr(173) = "<tr class=""row1""><td>Field 173</td><td>"
ovAr(174) = "<tr class=""row0""><td>Field 174</td><td>"
ovAr(175) = "<tr class=""row1""><td>Field 175</td><td>"
ovAr(176) = "<tr class=""row0""><td>Field 176</td><td>"
ovAr(177) = "<tr class=""row1""><td>Field 177</td><td>"
ovAr(178) = "<tr class=""row0""><td>Field 178</td><td>"
ovAr(179) = "<tr class=""row1""><td>Field 179</td><td>"
ovAr(180) = "<tr class=""row0""><td>Field 180</td><td>"
ovAr(181) = "<tr class=""row1""><td>Field 181</td><td>"
ovAr(182) = "<tr class=""row0""><td>Field 182</td><td>"
ovAr(183) = "<tr class=""row1""><td>Field 183</td><td>"
ovAr(184) = "<tr class=""row0""><td>Field 184</td><td>"
ovAr(185) = "<tr class=""row1""><td>Field 185</td><td>"
ovAr(186) = "<tr class=""row0""><td>Field 186</td><td>"
ovAr(187) = "<tr class=""row1""><td>Field 187</td><td>"
ovAr(188) = "<tr class=""row0""><td>Field 188</td><td>"
ovAr(189) = "<tr class=""row1""><td>Field 189</td><td>"
ovAr(190) = "<tr class=""row0""><td>Field 190</td><td>"
ovAr(191) = "<tr class=""row1""><td>Field 191</td><td>"
ovAr(192) = "<tr class=""row0""><td>Field 192</td><td>"
ovAr(193) = "<tr class=""row1""><td>Field 193</td><td>"
ovAr(194) = "<tr class=""row0""><td>Field 194</td><td>"
ovAr(195) = "<tr class=""row1""><td>Field 195</td><td>"
ovAr(196) = "<tr class=""row0""><td>Field 196</td><td>"
ovAr(197) = "<tr class=""row1""><td>Field 197</td><td>"
ovAr(198) = "<tr class=""row0""><td>Field 198</td><td>"
ovAr(199) = "<tr class=""row1""><td>Field 199</td><td>"
ovAr(200) = "<tr class=""row0""><td>Field 200</td><td>"
ovOut = ovOut & ovAr(1) & 1 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(2) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(3) & FormatNumber(3.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(4) & ew_HtmlEncode("Name<" & 4 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(5) & 5 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(6) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(7) & FormatNumber(7.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(8) & ew_HtmlEncode("Name<" & 8 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(9) & 9 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(10) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(11) & FormatNumber(11.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(12) & ew_HtmlEncode("Name<" & 12 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(13) & 13 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(14) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(15) & FormatNumber(15.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(16) & ew_HtmlEncode("Name<" & 16 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(17) & 17 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(18) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(19) & FormatNumber(19.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(20) & ew_HtmlEncode("Name<" & 20 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(21) & 21 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(22) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(23) & FormatNumber(23.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(24) & ew_HtmlEncode("Name<" & 24 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(25) & 25 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(26) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(27) & FormatNumber(27.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(28) & ew_HtmlEncode("Name<" & 28 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(29) & 29 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(30) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(31) & FormatNumber(31.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(32) & ew_HtmlEncode("Name<" & 32 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(33) & 33 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(34) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(35) & FormatNumber(35.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(36) & ew_HtmlEncode("Name<" & 36 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(37) & 37 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(38) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(39) & FormatNumber(39.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(40) & ew_HtmlEncode("Name<" & 40 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(41) & 41 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(42) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(43) & FormatNumber(43.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(44) & ew_HtmlEncode("Name<" & 44 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(45) & 45 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(46) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(47) & FormatNumber(47.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(48) & ew_HtmlEncode("Name<" & 48 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(49) & 49 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(50) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(51) & FormatNumber(51.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(52) & ew_HtmlEncode("Name<" & 52 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(53) & 53 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(54) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(55) & FormatNumber(55.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(56) & ew_HtmlEncode("Name<" & 56 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(57) & 57 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(58) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(59) & FormatNumber(59.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(60) & ew_HtmlEncode("Name<" & 60 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(61) & 61 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(62) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(63) & FormatNumber(63.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(64) & ew_HtmlEncode("Name<" & 64 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(65) & 65 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(66) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(67) & FormatNumber(67.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(68) & ew_HtmlEncode("Name<" & 68 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(69) & 69 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(70) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(71) & FormatNumber(71.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(72) & ew_HtmlEncode("Name<" & 72 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(73) & 73 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(74) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(75) & FormatNumber(75.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(76) & ew_HtmlEncode("Name<" & 76 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(77) & 77 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(78) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(79) & FormatNumber(79.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(80) & ew_HtmlEncode("Name<" & 80 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(81) & 81 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(82) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(83) & FormatNumber(83.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(84) & ew_HtmlEncode("Name<" & 84 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(85) & 85 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(86) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(87) & FormatNumber(87.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(88) & ew_HtmlEncode("Name<" & 88 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(89) & 89 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(90) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(91) & FormatNumber(91.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(92) & ew_HtmlEncode("Name<" & 92 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(93) & 93 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(94) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(95) & FormatNumber(95.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(96) & ew_HtmlEncode("Name<" & 96 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(97) & 97 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(98) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(99) & FormatNumber(99.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(100) & ew_HtmlEncode("Name<" & 100 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(101) & 101 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(102) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(103) & FormatNumber(103.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(104) & ew_HtmlEncode("Name<" & 104 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(105) & 105 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(106) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(107) & FormatNumber(107.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(108) & ew_HtmlEncode("Name<" & 108 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(109) & 109 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(110) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(111) & FormatNumber(111.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(112) & ew_HtmlEncode("Name<" & 112 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(113) & 113 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(114) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(115) & FormatNumber(115.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(116) & ew_HtmlEncode("Name<" & 116 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(117) & 117 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(118) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(119) & FormatNumber(119.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(120) & ew_HtmlEncode("Name<" & 120 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(121) & 121 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(122) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(123) & FormatNumber(123.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(124) & ew_HtmlEncode("Name<" & 124 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(125) & 125 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(126) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(127) & FormatNumber(127.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(128) & ew_HtmlEncode("Name<" & 128 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(129) & 129 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(130) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(131) & FormatNumber(131.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(132) & ew_HtmlEncode("Name<" & 132 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(133) & 133 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(134) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(135) & FormatNumber(135.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(136) & ew_HtmlEncode("Name<" & 136 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(137) & 137 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(138) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(139) & FormatNumber(139.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(140) & ew_HtmlEncode("Name<" & 140 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(141) & 141 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(142) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(143) & FormatNumber(143.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(144) & ew_HtmlEncode("Name<" & 144 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(145) & 145 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(146) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(147) & FormatNumber(147.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(148) & ew_HtmlEncode("Name<" & 148 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(149) & 149 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(150) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(151) & FormatNumber(151.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(152) & ew_HtmlEncode("Name<" & 152 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(153) & 153 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(154) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(155) & FormatNumber(155.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(156) & ew_HtmlEncode("Name<" & 156 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(157) & 157 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(158) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(159) & FormatNumber(159.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(160) & ew_HtmlEncode("Name<" & 160 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(161) & 161 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(162) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(163) & FormatNumber(163.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(164) & ew_HtmlEncode("Name<" & 164 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(165) & 165 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(166) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(167) & FormatNumber(167.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(168) & ew_HtmlEncode("Name<" & 168 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(169) & 169 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(170) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(171) & FormatNumber(171.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(172) & ew_HtmlEncode("Name<" & 172 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(173) & 173 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(174) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(175) & FormatNumber(175.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(176) & ew_HtmlEncode("Name<" & 176 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(177) & 177 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(178) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(179) & FormatNumber(179.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(180) & ew_HtmlEncode("Name<" & 180 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(181) & 181 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(182) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(183) & FormatNumber(183.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(184) & ew_HtmlEncode("Name<" & 184 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(185) & 185 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(186) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(187) & FormatNumber(187.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(188) & ew_HtmlEncode("Name<" & 188 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(189) & 189 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(190) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(191) & FormatNumber(191.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(192) & ew_HtmlEncode("Name<" & 192 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(193) & 193 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(194) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(195) & FormatNumber(195.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(196) & ew_HtmlEncode("Name<" & 196 & ">") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(197) & 197 * 3 + 1 & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(198) & UCase("value") & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(199) & FormatNumber(199.5, 1) & "</td></tr>" & vbCrLf
ovOut = ovOut & ovAr(200) & ew_HtmlEncode("Name<" & 200 & ">") & "</td></tr>" & vbCrLf
ovScriptEngine = ovOut
End Function

Function Main()
  Dim i, n
  For i = 1 To 10000
    n = n + Len(ovScriptEngine())
  Next
  Main = n
End Function
