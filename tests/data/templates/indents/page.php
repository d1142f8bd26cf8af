<!--##~ "start" ##-->
  <!--##~ "two blanks" ##-->
	 <!--##~ "tab blank" ##-->
x <!--##= "a" ##--><!--##~ "after block" ##-->
text<!--##~ "no indent" ##-->
  
end