<!--##session cells##--><!--## Dim n : n = 0 ##-->
<!--## For Each f In TABLE.Fields : n = n + 1 ##-->
  <!--##~ f.FldName ##-->=<!--##=n##-->
<!--## Next ##--></table>
<!--##/session##-->