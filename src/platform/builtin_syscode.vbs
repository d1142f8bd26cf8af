' The built-in system script: the helper procedures that every template can call.
' Generation adds this code to the engine's System module when no system script
' description is configured.

' The text of a file of the template folder, as it stands (an include session).
Function Include_File(sFile)
  Include_File = SCRPT.TemplateText(sFile)
End Function
