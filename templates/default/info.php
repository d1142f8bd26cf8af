<?php
// Metadata of <!--##=Replace(TABLE.TblName, "?>", "")##-->: what its pages show and allow.
<!--##
  Dim kind, fld, i, parts, sep, t, master, text
  Select Case TABLE.TblType
    Case "VIEW": kind = "view"
    Case "CUSTOMVIEW": kind = "custom"
    Case "REPORT": kind = "report"
    Case Else: kind = "table"
  End Select
##-->
return [
<!--## If kind <> "report" Then ##-->
    'table' => <!--##=PhpString(TABLE.TblName)##-->,
<!--## End If ##-->
    'caption' => <!--##=PhpString(TABLE.TblCaption)##-->,
    'name' => <!--##=PhpString(TABLE.TblName)##-->,
    'file' => <!--##=PhpString(SCRPT.PageNameBase)##-->,
    'kind' => '<!--##=kind##-->',
<!--## If kind = "custom" Then ##-->
    'sql' => <!--##=PhpString(TABLE.TblCustomSQL)##-->,
<!--## End If ##-->
<!--## If kind = "report" Then ##-->
<!--##
  text = ""
  If Len(TABLE.TblRptSrc) > 0 Then
    Set t = Nothing: Set t = DB.Tables(TABLE.TblRptSrc)
    If Not t Is Nothing Then
      If t.TblType = "CUSTOMVIEW" Then text = t.TblCustomSQL
    End If
  End If
##-->
<!--## If Len(text) > 0 Then ##-->
    'sql' => <!--##=PhpString(text)##-->,
<!--## Else ##-->
    'table' => <!--##=PhpString(TABLE.TblRptSrc)##-->,
<!--## End If ##-->
<!--## End If ##-->
    'key' => <!--##=PhpNameList(SCRPT.TableKey)##-->,
    'perm' => [
        'add' => <!--##=PhpBool(TABLE.TblAdd)##-->,
        'view' => <!--##=PhpBool(TABLE.TblView)##-->,
        'edit' => <!--##=PhpBool(TABLE.TblEdit)##-->,
        'copy' => <!--##=PhpBool(TABLE.TblCopy)##-->,
        'delete' => <!--##=PhpBool(TABLE.TblDelete)##-->,
        'multi_delete' => <!--##=PhpBool(TABLE.TblMultiDelete)##-->,
        'search' => <!--##=PhpBool(SCRPT.TableAdvancedSearch)##-->,
<!--##
  text = ""
  If TABLE.TblExportCsv Then text = text & ", 'csv'"
  If TABLE.TblExportHtml Then text = text & ", 'html'"
  If TABLE.TblExportExcel Then text = text & ", 'excel'"
  If TABLE.TblExportWord Then text = text & ", 'word'"
  If TABLE.TblExportXml Then text = text & ", 'xml'"
  If Len(text) > 0 Then text = Mid(text, 3)
##-->
        'export' => [<!--##=text##-->],
    ],
<!--##
  i = TABLE.TblRecPerPage
  If TABLE.TblUseGlobal Or i < 1 Then i = PROJ.RecPerPage
  If i < 1 Then i = 20
  text = TABLE.TblRecPerPageList
  If TABLE.TblUseGlobal Or Len(text) = 0 Then text = PROJ.RecPerPageList
##-->
    'paging' => ['size' => <!--##=i##-->, 'sizes' => [<!--##=PhpIntList(text)##-->], 'style' => '<!--## If TABLE.TblUseGlobal Then i = PROJ.PagerStyle Else i = TABLE.TblPagerStyle ##--><!--## If i = 2 Then ##-->prevnext<!--## Else ##-->numeric<!--## End If ##-->'],
<!--## If Len(SCRPT.TableSortField) > 0 Then ##-->
    'sort' => [<!--##=PhpString(SCRPT.TableSortField)##-->, '<!--## If UCase(SCRPT.TableSortOrder) = "DESC" Then ##-->DESC<!--## Else ##-->ASC<!--## End If ##-->'],
<!--## End If ##-->
<!--##
  master = ""
  If Len(TABLE.TblMasterTbl) > 0 Then
    Set t = Nothing: Set t = DB.Tables(TABLE.TblMasterTbl)
    If Not t Is Nothing Then
      If t.TblGen Then master = t.TblCaption
    End If
  End If
##-->
<!--##
  ' Own records: the table's own user id field, else its master's (rows owned through the master row).
  text = ""
  If Len(TABLE.TblUserIDFld) > 0 Then
    text = "['field' => " & PhpString(TABLE.TblUserIDFld) & "]"
  ElseIf Len(TABLE.TblMasterTbl) > 0 Then
    Set t = Nothing: Set t = DB.Tables(TABLE.TblMasterTbl)
    If Not t Is Nothing Then
      If Len(t.TblUserIDFld) > 0 Then text = "['field' => " & PhpString(t.TblUserIDFld) & ", 'table' => " & PhpString(t.TblName) & ", 'link' => " & PhpLinkPairs(TABLE.TblDetailFld, TABLE.TblMasterFld) & "]"
    End If
  End If
##-->
<!--## If Len(text) > 0 Then ##-->
    'owner' => <!--##=text##-->,
<!--## End If ##-->
<!--## If Len(master) > 0 Then ##-->
    'master' => ['page' => <!--##=PhpString(SCRPT.TablePageName("list", TABLE.TblMasterTbl))##-->, 'caption' => <!--##=PhpString(master)##-->, 'link' => <!--##=PhpLinkPairs(TABLE.TblDetailFld, TABLE.TblMasterFld)##-->],
<!--## End If ##-->
    'details' => [
<!--## For Each t In SCRPT.DetailTables ##-->
        ['page' => <!--##=PhpString(SCRPT.TablePageName("list", t.TblName))##-->, 'caption' => <!--##=PhpString(t.TblCaption)##-->, 'link' => <!--##=PhpLinkPairs(t.TblDetailFld, t.TblMasterFld)##-->, 'table' => <!--##=PhpString(t.TblName)##-->],
<!--## Next ##-->
    ],
<!--## If kind = "report" Then ##-->
<!--##
  text = "": sep = ""
  For i = 1 To TABLE.Fields.Count
    Set fld = TABLE.Fields.Seq(i)
    If fld.FldGroupBy > 0 Then text = text & sep & PhpString(fld.FldName): sep = ", "
  Next
##-->
    'report' => [
        'group_by' => [<!--##=text##-->],
        'aggregates' => [
<!--## For i = 1 To TABLE.Fields.Count: Set fld = TABLE.Fields.Seq(i) ##-->
<!--##
  text = ""
  If fld.FldRptAggSum Then text = text & ", 'sum'"
  If fld.FldRptAggAvg Then text = text & ", 'avg'"
  If fld.FldRptAggMin Then text = text & ", 'min'"
  If fld.FldRptAggMax Then text = text & ", 'max'"
##-->
<!--## If Len(text) > 0 Then ##-->
            <!--##=PhpString(fld.FldName)##--> => [<!--##=Mid(text, 3)##-->],
<!--## End If ##-->
<!--## Next ##-->
        ],
        'show_details' => <!--##=PhpBool(TABLE.TblRptShowDetails)##-->,
        'grand_total' => <!--##=PhpBool(TABLE.TblRptShowGrandTotal)##-->,
    ],
<!--## End If ##-->
    'fields' => [
<!--## For i = 1 To TABLE.Fields.Count: Set fld = TABLE.Fields.Seq(i) ##-->
        <!--##=PhpString(fld.FldName)##--> => <!--##=PhpFieldMeta(fld)##-->,
<!--## Next ##-->
    ],
];
