<!--##session row##-->
<tr>
  <td><!--##=Foo(1##--></td>
</tr>
<!--##/session##-->
