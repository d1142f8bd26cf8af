' The built-in system script: the helper procedures that every template can call.
' Generation adds this code to the engine's System module when no system script
' description is configured.

' The text of a file of the template folder, as it stands (an include session).
Function Include_File(sFile)
  Include_File = SCRPT.TemplateText(sFile)
End Function

' A text as a PHP single-quoted string literal.
Function PhpString(s)
  PhpString = "'" & Replace(Replace(CStr(s & ""), "\", "\\"), "'", "\'") & "'"
End Function

' A Boolean as PHP writes it.
Function PhpBool(b)
  If CBool(b) Then PhpBool = "true" Else PhpBool = "false"
End Function

' A comma-separated list of names as a PHP list of strings: a,b -> ['a', 'b'].
Function PhpNameList(list)
  Dim parts, i, out
  out = ""
  If Len(list) > 0 Then
    parts = Split(list, ",")
    For i = 0 To UBound(parts)
      If i > 0 Then out = out & ", "
      out = out & PhpString(parts(i))
    Next
  End If
  PhpNameList = "[" & out & "]"
End Function

' Tag values (lines of "value","label", or one line with "|" between them) as a
' PHP array value => label.
Function PhpTagValues(text)
  Dim lines, i, line, cut, out
  lines = Split(Replace(CStr(text & ""), vbCrLf, "|"), "|")
  out = ""
  For i = 0 To UBound(lines)
    line = Trim(lines(i))
    If Len(line) > 0 Then
      cut = InStr(line, """,""")
      If cut > 0 Then
        If Len(out) > 0 Then out = out & ", "
        out = out & PhpString(Mid(line, 2, cut - 2)) & " => " & PhpString(Mid(line, cut + 3, Len(line) - cut - 3))
      End If
    End If
  Next
  PhpTagValues = "[" & out & "]"
End Function

' The kind of value an ADO data type holds: int, number, bool, date, time,
' datetime, blob, memo or string.
Function ValueCategory(adoType)
  ' The usual types first: this runs for every field of every page.
  Select Case CInt(adoType)
    Case 200, 202, 129, 130: ValueCategory = "string"
    Case 3, 2, 20, 16, 17, 18, 19, 21: ValueCategory = "int"
    Case 201, 203: ValueCategory = "memo"
    Case 131, 5, 4, 6, 14, 139: ValueCategory = "number"
    Case 133: ValueCategory = "date"
    Case 135, 7, 146: ValueCategory = "datetime"
    Case 11: ValueCategory = "bool"
    Case 134, 145: ValueCategory = "time"
    Case 205, 204, 128: ValueCategory = "blob"
    Case Else: ValueCategory = "string"
  End Select
End Function

' Page sizes "5,10,20" as a PHP list of integers; the usual sizes when none are given.
Function PhpIntList(list)
  Dim parts, i, out
  out = ""
  parts = Split(CStr(list & ""), ",")
  For i = 0 To UBound(parts)
    If IsNumeric(Trim(parts(i))) Then
      If Len(out) > 0 Then out = out & ", "
      out = out & CLng(Trim(parts(i)))
    End If
  Next
  If Len(out) = 0 Then out = "10, 20, 50, 100"
  PhpIntList = out
End Function

' Detail and master fields (comma-separated, in pairs) as a PHP array detail => master.
Function PhpLinkPairs(detailFields, masterFields)
  Dim d, m, i, out
  d = Split(CStr(detailFields & ""), ",")
  m = Split(CStr(masterFields & ""), ",")
  out = ""
  For i = 0 To UBound(d)
    If i <= UBound(m) Then
      If Len(out) > 0 Then out = out & ", "
      out = out & PhpString(Trim(d(i))) & " => " & PhpString(Trim(m(i)))
    End If
  Next
  PhpLinkPairs = "[" & out & "]"
End Function

' A search operator of the project as the runtime names it ("" when it has none).
Function SearchOperator(op)
  Dim o
  If op = "=" Or op = "LIKE" Then SearchOperator = op: Exit Function
  o = UCase(Trim(CStr(op & "")))
  Select Case o
    Case "=", "<>", "<", "<=", ">", ">=", "LIKE", "BETWEEN": SearchOperator = o
    Case "START WITH", "STARTS WITH": SearchOperator = "STARTS"
    Case "ENDS WITH": SearchOperator = "ENDS"
    Case "USER SELECT": SearchOperator = "USER"
    Case Else: SearchOperator = ""
  End Select
End Function

' A column default as the metadata's 'default' entry: quotes taken off, Booleans
' as 1 and 0; "" for NULL and for expressions the database evaluates.
Function PhpDefault(v, cat)
  PhpDefault = ""
  If Len(v) > 1 Then
    If Left(v, 1) = "'" And Right(v, 1) = "'" Then v = Mid(v, 2, Len(v) - 2)
  End If
  If cat = "bool" Then
    If UCase(v) = "TRUE" Then v = "1"
    If UCase(v) = "FALSE" Then v = "0"
  End If
  If Len(v) = 0 Or InStr(v, "(") > 0 Or UCase(v) = "NULL" Or UCase(Left(v, 8)) = "CURRENT_" Then Exit Function
  PhpDefault = ", 'default' => " & PhpString(v)
End Function

' A field's metadata as the PHP array the default template's runtime reads.
Function PhpFieldMeta(fld)
  Dim cat, out, ctl, op, choices, v, fmt, validate
  cat = ValueCategory(fld.FldType)
  out = "['caption' => " & PhpString(fld.FldCaption) & ", 'type' => " & PhpString(fld.FldTypeName) & _
        ", 'category' => '" & cat & "'"
  If fld.FldAutoIncrement Then out = out & ", 'auto' => true"
  ' Written out rather than through PhpBool: this runs for every field of every table.
  If fld.FldList Then out = out & ", 'list' => true" Else out = out & ", 'list' => false"
  If fld.FldView Then out = out & ", 'view' => true" Else out = out & ", 'view' => false"
  If fld.FldAdd Then out = out & ", 'add' => true" Else out = out & ", 'add' => false"
  If fld.FldEdit Then out = out & ", 'edit' => true" Else out = out & ", 'edit' => false"
  If fld.FldSearch Then out = out & ", 'search' => true" Else out = out & ", 'search' => false"
  If fld.FldBasicSearch And SCRPT.TableBasicSearch Then
    out = out & ", 'basic_search' => true"
  Else
    out = out & ", 'basic_search' => false"
  End If
  op = fld.FldSrchOpr
  If op <> "=" And op <> "LIKE" Then op = SearchOperator(op)
  If Len(op) > 0 Then out = out & ", 'search_op' => '" & op & "'"
  op = fld.FldSrchOpr2
  If Len(op) > 0 Then op = SearchOperator(op)
  If Len(op) > 0 Then out = out & ", 'search_op2' => '" & op & "'"
  ctl = UCase(Trim(fld.FldHtmlTag))
  choices = ""
  If ctl = "SELECT" Or ctl = "RADIO" Or ctl = "CHECKBOX" Then
    If Len(fld.FldTagLnkTbl) > 0 And Len(fld.FldTagLnkFld) > 0 Then
      v = fld.FldTagLnkDisplay
      If Len(v) = 0 Then v = fld.FldTagLnkFld
      choices = ", 'lookup' => ['table' => " & PhpString(fld.FldTagLnkTbl) & ", 'value' => " & _
                PhpString(fld.FldTagLnkFld) & ", 'display' => " & PhpString(v) & "]"
      If ctl = "CHECKBOX" Then ctl = "SELECT"
    ElseIf Len(fld.FldTagValues) > 0 Then
      choices = ", 'values' => " & PhpTagValues(fld.FldTagValues)
      If ctl = "CHECKBOX" And cat <> "bool" Then ctl = "RADIO"
    ElseIf cat = "bool" Then
      ctl = "CHECKBOX"
    Else
      ctl = "TEXT"
    End If
  End If
  Select Case ctl
    Case "TEXT", "TEXTAREA", "PASSWORD", "RADIO", "CHECKBOX", "SELECT", "HIDDEN", "FILE", "NO"
      out = out & ", 'control' => '" & ctl & "'" & choices
  End Select
  If ctl = "PASSWORD" Then out = out & ", 'hash' => true"
  validate = UCase(fld.FldValidate)
  Select Case validate
    Case "INTEGER": If cat = "int" Then out = out & ", 'validate' => 'int'"
    Case "FLOAT": If cat = "int" Or cat = "number" Then out = out & ", 'validate' => 'number'"
    Case "DATE", "USDATE", "EURODATE": If cat = "date" Then out = out & ", 'validate' => 'date'"
    Case "TIME": If cat = "time" Then out = out & ", 'validate' => 'time'"
    Case "EMAIL": out = out & ", 'validate' => 'email'"
    Case "URL": out = out & ", 'validate' => 'url'"
  End Select
  If fld.FldRequired Then out = out & ", 'required' => true"
  If fld.FldReq Then out = out & ", 'nullable' => false" Else out = out & ", 'nullable' => true"
  ' A default the database computes (a sequence, a uuid function): an add may leave the field empty.
  v = CStr(fld.FldDefault & "")
  If Len(v) > 0 And Len(PhpDefault(v, cat)) = 0 And UCase(v) <> "NULL" Then out = out & ", 'db_default' => true"
  If fld.FldTagMaxLength > 0 Then
    out = out & ", 'maxlen' => " & CLng(fld.FldTagMaxLength)
  ElseIf cat = "string" And fld.FldSize > 0 Then
    out = out & ", 'maxlen' => " & CLng(fld.FldSize)
  End If
  v = fld.FldMin
  If Len(v & "") > 0 Then
    If IsNumeric(v) Then out = out & ", 'min' => " & CDbl(v)
  End If
  v = fld.FldMax
  If Len(v & "") > 0 Then
    If IsNumeric(v) Then out = out & ", 'max' => " & CDbl(v)
  End If
  If Len(fld.FldErrMsg) > 0 Then out = out & ", 'error' => " & PhpString(fld.FldErrMsg)
  If ctl = "TEXT" And fld.FldTagSize > 0 Then out = out & ", 'size' => " & CLng(fld.FldTagSize)
  If ctl = "TEXTAREA" Then
    If fld.FldTagRows > 0 Then out = out & ", 'rows' => " & CLng(fld.FldTagRows)
    If fld.FldTagCols > 0 Then out = out & ", 'cols' => " & CLng(fld.FldTagCols)
  End If
  If UCase(fld.FldViewTag) = "IMAGE" Then out = out & ", 'image' => true"
  v = CStr(fld.FldDefault & "")
  If Len(v) > 0 Then out = out & PhpDefault(v, cat)
  fmt = ""
  Select Case UCase(fld.FldFmtType)
    Case "CURRENCY": fmt = "['kind' => 'currency', 'digits' => " & CLng(fld.FldNumDigits) & "]"
    Case "NUMBER": fmt = "['kind' => 'number', 'digits' => " & CLng(fld.FldNumDigits) & "]"
    Case "PERCENT": fmt = "['kind' => 'percent', 'digits' => " & CLng(fld.FldNumDigits) & "]"
    Case "DATE/TIME"
      Select Case fld.FldDtFormat
        Case 5: fmt = "['kind' => 'date', 'date' => 'Y/m/d']"
        Case 6: fmt = "['kind' => 'date', 'date' => 'm/d/Y']"
        Case 7: fmt = "['kind' => 'date', 'date' => 'd/m/Y']"
      End Select
  End Select
  ' A date checked as a US or European date is shown and read that way.
  If cat = "date" Or cat = "datetime" Then
    If validate = "USDATE" Then fmt = "['kind' => 'date', 'date' => 'm/d/Y']"
    If validate = "EURODATE" Then fmt = "['kind' => 'date', 'date' => 'd/m/Y']"
  End If
  If Len(fmt) > 0 Then out = out & ", 'format' => " & fmt
  PhpFieldMeta = out & "]"
End Function
