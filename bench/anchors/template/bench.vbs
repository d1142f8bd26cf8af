' The schema's tables and fields as objects, and the text helpers the pages use
' (HTML text, PHP string literal, SQL identifier). Loaded once per run, with
' schema.vbs (written from the workload's schema), by the first page.
Class BenchAppData
  Public generator, version, operators
End Class

Class BenchLookup
  Public table, key, display, link
End Class

Class BenchField
  Public name, ftype, caption, pk, autoinc, size, scale, nullable, required, unique, has_default, fdefault
  Public list_visible, view_visible, add_visible, edit_visible, search_visible, sortable, lookup, edit_tag
  Public validate, vmin, vmax, regex, placeholder, help, search_op, date_format, fstep, align, list_truncate
  Public rows, unit, css
End Class

Class BenchTableData
  Public name, caption, description, page_size, allow_add, allow_edit, allow_delete, sort_dir, sort_field, pk
  Public fields, list_fields, view_fields, add_fields, edit_fields, search_fields, count
End Class

Dim gBenchApp, gBenchTables
Set gBenchTables = CreateObject("Scripting.Dictionary")

Function BenchApp()
  Set BenchApp = gBenchApp
End Function

Function BenchTable(name)
  Set BenchTable = gBenchTables(name)
End Function

Function BenchNewTable(name, caption, description, pageSize, allowAdd, allowEdit, allowDelete, sortDir, fieldCount)
  Dim t
  Set t = New BenchTableData
  t.name = name : t.caption = caption : t.description = description : t.page_size = pageSize
  t.allow_add = allowAdd : t.allow_edit = allowEdit : t.allow_delete = allowDelete : t.sort_dir = sortDir
  ReDim f(fieldCount - 1)
  t.fields = f
  t.count = 0
  Set gBenchTables(name) = t
  Set BenchNewTable = t
End Function

Sub BenchAddField(t, name, ftype, caption, pk, autoinc, size, scale, nullable, required, unique, hasDefault, _
                  fdefault, listVisible, viewVisible, addVisible, editVisible, searchVisible, sortable, lookupTable, _
                  lookupKey, lookupDisplay, lookupLink, editTag, validate, vmin, vmax, regex, placeholder, help, _
                  searchOp, dateFormat, fstep, align, listTruncate, rows, unit, css)
  Dim f, a
  Set f = New BenchField
  f.name = name : f.ftype = ftype : f.caption = caption : f.pk = pk : f.autoinc = autoinc : f.size = size
  f.scale = scale : f.nullable = nullable : f.required = required : f.unique = unique : f.has_default = hasDefault
  f.fdefault = fdefault : f.list_visible = listVisible : f.view_visible = viewVisible : f.add_visible = addVisible
  f.edit_visible = editVisible : f.search_visible = searchVisible : f.sortable = sortable
  Set f.lookup = Nothing
  If lookupTable <> "" Then
    Set f.lookup = New BenchLookup
    f.lookup.table = lookupTable : f.lookup.key = lookupKey : f.lookup.display = lookupDisplay
    f.lookup.link = lookupLink
  End If
  f.edit_tag = editTag : f.validate = validate : f.vmin = vmin : f.vmax = vmax : f.regex = regex
  f.placeholder = placeholder : f.help = help : f.search_op = searchOp : f.date_format = dateFormat
  f.fstep = fstep : f.align = align : f.list_truncate = listTruncate : f.rows = rows : f.unit = unit : f.css = css
  a = t.fields
  Set a(t.count) = f
  t.fields = a
  t.count = t.count + 1
  If pk And IsEmpty(t.pk) Then Set t.pk = f
End Sub

' The field lists of each page, and the sort field, once all fields are in.
Sub BenchEndTable(t, sortField)
  Dim f
  t.list_fields = BenchSelect(t.fields, 0)
  t.view_fields = BenchSelect(t.fields, 1)
  t.add_fields = BenchSelect(t.fields, 2)
  t.edit_fields = BenchSelect(t.fields, 3)
  t.search_fields = BenchSelect(t.fields, 4)
  For Each f In t.fields
    If f.name = sortField Then Set t.sort_field = f
  Next
End Sub

Function BenchSelect(fields, page)
  Dim out(), n, f, shown
  ReDim out(UBound(fields))
  n = 0
  For Each f In fields
    Select Case page
      Case 0: shown = f.list_visible
      Case 1: shown = f.view_visible
      Case 2: shown = f.add_visible
      Case 3: shown = f.edit_visible
      Case Else: shown = f.search_visible
    End Select
    If shown Then
      Set out(n) = f
      n = n + 1
    End If
  Next
  ReDim Preserve out(n - 1)
  BenchSelect = out
End Function

' HTML text and attribute values, spelled like the reference output.
Function E(s)
  E = Replace(Replace(Replace(Replace(Replace(s, "&", "&amp;"), "<", "&lt;"), ">", "&gt;"), """", "&#34;"), "'", "&#39;")
End Function

' The inside of a single-quoted PHP (or JS) string literal.
Function PhpStr(s)
  PhpStr = Replace(Replace(s, "\", "\\"), "'", "\'")
End Function

' An SQL identifier in backticks.
Function Ident(s)
  Ident = "`" & Replace(s, "`", "``") & "`"
End Function

Function IIf(c, a, b)
  If c Then IIf = a Else IIf = b
End Function

' The names or captions of fields, each through the named helpers, joined.
Function JoinMap(fields, attr, helpers, sep)
  Dim i, v, h, out
  For i = 0 To UBound(fields)
    If attr = "name" Then v = fields(i).name Else v = fields(i).caption
    For Each h In Split(helpers, " ")
      Select Case h
        Case "ident": v = Ident(v)
        Case "phpstr": v = PhpStr(v)
        Case "quote": v = "'" & v & "'"
        Case "bind": v = ":" & v
      End Select
    Next
    If i > 0 Then out = out & sep
    out = out & v
  Next
  JoinMap = out
End Function
