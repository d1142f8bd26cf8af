Function USER_TABLE_TblCaption(value)
  USER_TABLE_TblCaption = "[" & value & "]"
End Function
