<!--##session form##--><form method="post"><!--## Dim k: For Each k In Split(SCRPT.TableKey, ",") ##--><input name="<!--##=k##-->"><!--## Next ##--></form>
<!--##/session##-->
