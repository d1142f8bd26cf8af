<?php
// Configuration of <!--##=Replace(PROJ.ProjName, "?>", "")##-->: the connection, security and menu.
// A config.local.php beside it may override any entry (for example the
// connection of another deployment).
<!--##
  Dim dbKind, sec, t, n, text
  Select Case LCase(DB.DBType)
    Case "mysql", "mariadb": dbKind = "mysql"
    Case "postgresql", "postgres", "pgsql": dbKind = "pgsql"
    Case Else: dbKind = "sqlite"
  End Select
  Select Case PROJ.SecType
    Case "", "None": sec = "none"
    Case "Use Table": sec = "table"
    Case "Both": sec = "both"
    Case Else: sec = "fixed"
  End Select
##-->
return [
    'title' => <!--##=PhpString(PROJ.ProjName)##-->,
<!--## If dbKind = "sqlite" Then ##-->
    'db' => ['driver' => 'sqlite', 'path' => <!--##=PhpString(SCRPT.ConnName)##-->],
<!--## Else ##-->
    'db' => [
        'driver' => '<!--##=dbKind##-->',
        'host' => <!--##=PhpString(SCRPT.ConnHost)##-->,
        'port' => <!--##=PhpString(SCRPT.ConnPort)##-->,
        'name' => <!--##=PhpString(SCRPT.ConnName)##-->,
        'user' => <!--##=PhpString(SCRPT.ConnUser)##-->,
        'password' => <!--##=PhpString(SCRPT.ConnPassword)##-->,
    ],
<!--## End If ##-->
    'security' => [
        'type' => '<!--##=sec##-->',
<!--## If sec = "fixed" Or sec = "both" Then ##-->
        'login' => <!--##=PhpString(PROJ.SecLoginID)##-->,
        'password' => <!--##=PhpString(PROJ.SecPasswd)##-->,
<!--## End If ##-->
<!--## If sec = "table" Or sec = "both" Then ##-->
        'table' => <!--##=PhpString(PROJ.SecTbl)##-->,
        'id_field' => <!--##=PhpString(PROJ.SecLoginIDFld)##-->,
        'password_field' => <!--##=PhpString(PROJ.SecPasswdFld)##-->,
        'level_field' => <!--##=PhpString(DB.SecUserLevelFld)##-->,
        'user_id_field' => <!--##=PhpString(DB.SecuUserIDFld)##-->,
        'email_field' => <!--##=PhpString(PROJ.SecEmailFld)##-->,
        'default_rights' => <!--##=PhpString(DB.SecDefault)##-->,
<!--## End If ##-->
    ],
<!--## If sec = "table" Or sec = "both" Then ##-->
<!--##
  Set t = Nothing: Set t = DB.Tables(PROJ.SecTbl)
  text = ""
  If Not t Is Nothing Then
    For n = 1 To t.Fields.Count
      If t.Fields.Seq(n).FldRegister Then text = text & ", " & PhpString(t.Fields.Seq(n).FldName)
    Next
  End If
  If Len(text) > 0 Then text = Mid(text, 3)
##-->
    'account' => [
        'register' => <!--##=PhpBool(PROJ.SecRegisterPage)##-->,
        'register_email' => <!--##=PhpBool(PROJ.SecRegisterEmail)##-->,
        'forgot_password' => <!--##=PhpBool(PROJ.SecForgetPwdPage)##-->,
        'change_password' => <!--##=PhpBool(PROJ.SecChangePwdPage)##-->,
        'change_email' => <!--##=PhpBool(PROJ.SecChangeEmail)##-->,
        'register_fields' => [<!--##=text##-->],
<!--## If Not t Is Nothing Then ##-->
        'user_info' => <!--##=PhpString(SCRPT.TablePageNameBase(t.TblName) & "_info.php")##-->,
<!--## End If ##-->
        'sender' => <!--##=PhpString(PROJ.SecSenderEmail)##-->,
        'smtp_host' => <!--##=PhpString(PROJ.SmtpServer)##-->,
        'smtp_port' => <!--##=CLng(PROJ.SmtpServerPort)##-->,
    ],
<!--## End If ##-->
    'rights' => [
<!--## For n = 1 To DB.Tables.Count: Set t = DB.Tables.Seq(n): If t.TblGen And t.Fields.Count > 0 Then ##-->
        <!--##=PhpString(t.TblName)##--> => <!--##=PhpString(t.TblSecurity)##-->,
<!--## End If: Next ##-->
    ],
    'menu' => [
<!--## For n = 1 To DB.Tables.Count: Set t = DB.Tables.Seq(n): If t.TblGen And t.Fields.Count > 0 Then ##-->
<!--## If t.TblType = "REPORT" Then ##-->
        ['page' => <!--##=PhpString(SCRPT.TablePageNameBase(t.TblName) & "_report.php")##-->, 'caption' => <!--##=PhpString(t.TblCaption)##-->, 'table' => <!--##=PhpString(t.TblName)##-->],
<!--## Else ##-->
        ['page' => <!--##=PhpString(SCRPT.TablePageName("list", t.TblName))##-->, 'caption' => <!--##=PhpString(t.TblCaption)##-->, 'table' => <!--##=PhpString(t.TblName)##-->],
<!--## End If ##-->
<!--## End If: Next ##-->
    ],
    'phrases' => 'lang/phrases.php',
    'stylesheet' => 'style.css',
<!--## If Len(PROJ.UploadPath) > 0 Then ##-->
    'upload_dir' => <!--##=PhpString(PROJ.UploadPath)##-->,
<!--## End If ##-->
<!--## If DB.MaxUploadSize > 0 Then ##-->
    'max_upload' => <!--##=CLng(DB.MaxUploadSize)##-->,
<!--## End If ##-->
];
