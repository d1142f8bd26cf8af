<?php
// The phrases of the application, from the template's phrase file.
return [
<!--## Dim n: For n = 1 To LANG.Count ##-->
    <!--##=PhpString(LANG.PhraseId(n))##--> => <!--##=PhpString(LANG.Phrase(LANG.PhraseId(n)))##-->,
<!--## Next ##-->
];
