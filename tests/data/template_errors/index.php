<html>
<!--## Dim n : n = 1 / 0 ##-->
<p>ok</p>
