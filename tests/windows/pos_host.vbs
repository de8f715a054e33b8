' A point-of-sale host as a script drives Kavrolin.dll: late-bound through
' IDispatch, variables passed by reference, optional parameters left out,
' failures through Err. Run by run_clients.sh under Wine with cscript from a
' fresh folder of its own, after regsvr32 registered the library.
' Prints "ok <label>" or "FAIL <label> ..." per check, then the failure count
' and the marker line the runner requires (cscript says nothing and exits 0
' when a script error stops it).
Option Explicit

Dim failures, fso, here
failures = 0
Set fso = CreateObject("Scripting.FileSystemObject")
here = fso.GetAbsolutePathName(".")

Sub Check(label, actual, expected)
  If actual = expected Then
    WScript.Echo "ok " & label
  Else
    WScript.Echo "FAIL " & label & ": got " & TypeName(actual) & " [" & actual & "], want " & _
                 TypeName(expected) & " [" & expected & "]"
    failures = failures + 1
  End If
End Sub

' The error number a statement left in Err, cleared afterwards.
Function TakeError()
  TakeError = Err.Number
  Err.Clear
End Function

' A text from its characters' codes in the ANSI code page 936, given in
' hexadecimal and separated by spaces, so the script itself stays ASCII
' whatever code page reads it (Wine 8's VBScript has no ChrW).
Function Ansi(codes)
  Dim part, result
  result = ""
  For Each part In Split(codes, " ")
    result = result & Chr(CLng("&H" & part))
  Next
  Ansi = result
End Function

Function ReadText(path)
  ReadText = ""
  If fso.FileExists(path) Then
    Dim stream
    Set stream = fso.OpenTextFile(path, 1)
    If Not stream.AtEndOfStream Then ReadText = stream.ReadAll()
    stream.Close
  End If
End Function

' The journal texts of the transactions, as the journal writes them.
Dim SaleOk, SaleFailed, VoidOk, RefundOk, InquiryOk, InquiryFailed, CardLabel, IndexLabel, Chinese
SaleOk = Ansi("CFFB B7D1 B3C9 B9A6")
SaleFailed = Ansi("CFFB B7D1 CAA7 B0DC")
VoidOk = Ansi("B3B7 CFFA B3C9 B9A6")
RefundOk = Ansi("CDCB BBF5 B3C9 B9A6")
InquiryOk = Ansi("B2E9 D1AF B3C9 B9A6")
InquiryFailed = Ansi("B2E9 D1AF CAA7 B0DC")
CardLabel = Ansi("BFA8 BAC5 A3BA")
IndexLabel = Ansi("CBF7 D2FD A3BA")
Chinese = Ansi("D6D0 CEC4")

' The journal lines this script expects, in order.
Dim expectedLines(15), expectedCount
expectedCount = 0
Sub ExpectLine(text)
  expectedLines(expectedCount) = text
  expectedCount = expectedCount + 1
End Sub

Dim journalPath, journalBefore
journalPath = "C:\YHLOG\" & Year(Now) & Right("0" & Month(Now), 2) & Right("0" & Day(Now), 2) & ".txt"
journalBefore = ReadText(journalPath)

' ---- card transactions against trans.dll ----
' The runner starts the terminal simulator with a call counter of this run's
' own and the result codes 1 for the first six calls, 0 for every later one:
' the six transactions below succeed, the ones after them fail.
Dim pos, ok, lines, before, card, index
Set pos = CreateObject("Kavrolin.clsInterFace")
Check "new_object_empty_card", pos.GetCardNo(), ""
Check "new_object_empty_property", pos.m_strCardNo, ""
Check "new_object_empty_return_code", pos.GetFanhui(), ""
Check "new_object_empty_print_path", pos.m_strFilePrn, ""
ok = pos.Initialize(here)
Check "initialize_print_path", pos.m_strFilePrn, here & "\toprint.txt"
Check "initialize_app_path", pos.m_strAppPath, here

' Reads the receipt into a script variable and checks it names the last
' transaction: element 0 empty, then the title, the slip heading, the card,
' the amount and the index number; the file is consumed.
Sub CheckReceipt(label, amount)
  Dim receipt, found
  receipt = Empty
  found = pos.GetPrintTxt(receipt)
  Check label & "_read", found, True
  Check label & "_lower_bound", LBound(receipt), 0
  Check label & "_upper_bound", UBound(receipt), 5
  If UBound(receipt) = 5 Then
    Check label & "_element_zero_empty", receipt(0), ""
    Check label & "_card_line", receipt(3), "CARD NO: " & RTrim(pos.GetCardNo())
    Check label & "_amount_line", receipt(4), "AMOUNT: " & amount
    ' The receipt shows the index field with its leading zeros.
    Check label & "_index_line", Left(receipt(5), 7), "INDEX: "
    Check label & "_index_value", CDbl(Mid(receipt(5), 8)), CDbl(pos.GetSY())
  End If
  Check label & "_file_consumed", fso.FileExists(pos.m_strFilePrn), False
  found = pos.GetPrintTxt(receipt)
  Check label & "_second_read", found, False
  Check label & "_second_read_bounds", UBound(receipt), 0
End Sub

Check "sale", pos.Sale(12.34, 1, "01", "A1"), True
Check "sale_return_code", pos.GetFanhui(), "1"
Check "sale_return_code_property", pos.m_strFanhui, "1"
' The card field comes back as the terminal filled it, padded to its width.
card = pos.GetCardNo()
Check "sale_card_width", Len(card), 19
Check "sale_card", RTrim(card), "6222000000000009"
Check "sale_amount", pos.GetCardMoney(), "12.34"
Check "sale_card_property_agrees", pos.m_strCardNo, pos.GetCardNo()
Check "sale_amount_property_agrees", pos.m_strCardMoney, pos.GetCardMoney()
Check "sale_index_property_agrees", pos.m_strSY, pos.GetSY()
Check "sale_index_present", Len(pos.GetSY()) > 0, True
ExpectLine SaleOk & " " & CardLabel & card & " " & IndexLabel & pos.GetSY()
CheckReceipt "sale_receipt", "12.34"

' The inquiry reads no response: the fields stay as the sale left them.
index = pos.GetSY()
Check "inquiry", pos.Inquery(), True
Check "inquiry_keeps_index", pos.GetSY(), index
Check "inquiry_keeps_amount", pos.GetCardMoney(), "12.34"
Check "inquiry_no_receipt", fso.FileExists(pos.m_strFilePrn), False
ExpectLine InquiryOk

Check "void_sale", pos.VoidSale(12.34, 2, "01", "A1"), True
Check "void_sale_return_code", pos.GetFanhui(), "1"
Check "void_sale_new_index", pos.GetSY() <> index, True
ExpectLine VoidOk & " " & CardLabel & pos.GetCardNo() & " " & IndexLabel & pos.GetSY()
CheckReceipt "void_sale_receipt", "12.34"

Check "refund", pos.VoidTH(1.5, 3, "01", "A1"), True
Check "refund_amount", pos.GetCardMoney(), "1.50"
ExpectLine RefundOk & " " & CardLabel & pos.GetCardNo() & " " & IndexLabel & pos.GetSY()
CheckReceipt "refund_receipt", "1.50"

' The other transaction writes no journal line on success.
Check "other", pos.Qita("5.00", 4, "01", "A1"), True
Check "other_amount", pos.GetCardMoney(), "5.00"
CheckReceipt "other_receipt", "5.00"

' Text and numbers cross to the typed parameters by automation's rules.
Check "sale_text_amount", pos.Sale("7.25", "5", 1, 2), True
Check "sale_text_amount_read_back", pos.GetCardMoney(), "7.25"
ExpectLine SaleOk & " " & CardLabel & pos.GetCardNo() & " " & IndexLabel & pos.GetSY()
CheckReceipt "sale_text_amount_receipt", "7.25"

' From here the terminal declines: the fields keep the last success, the
' return code changes, the failure line carries the kept card and index.
card = pos.GetCardNo() : index = pos.GetSY()
Check "declined_sale", pos.Sale(3.21, 6, "01", "A1"), False
Check "declined_sale_return_code", pos.GetFanhui(), "0"
Check "declined_sale_keeps_card", pos.GetCardNo(), card
Check "declined_sale_keeps_index", pos.GetSY(), index
Check "declined_sale_keeps_amount", pos.GetCardMoney(), "7.25"
ExpectLine SaleFailed & " " & CardLabel & card & "  " & IndexLabel & index
lines = Empty
Check "declined_sale_no_receipt", pos.GetPrintTxt(lines), False
Check "declined_inquiry", pos.Inquery(), False
Check "declined_inquiry_keeps_return_code", pos.GetFanhui(), "0"
ExpectLine InquiryFailed

pos.m_strCardNo = "X"
Check "property_put_read_back", pos.GetCardNo(), "X"

Dim second
Set second = CreateObject("Kavrolin.clsInterFace")
Check "objects_independent", second.GetCardNo(), ""
Check "objects_independent_return_code", second.GetFanhui(), ""

Dim journal
Set journal = CreateObject("Kavrolin.cls_Rizhi")
journal.WriteLog "script line " & Chinese
ExpectLine "script line " & Chinese

' ---- the journal: C:\YHLOG\yyyymmdd.txt in the ANSI code page ----
' Each call added one line "yyyy-MM-dd HH:mm:ss text" ended by CR LF, after
' what the file held before.
Check "journal_folder", fso.FolderExists("C:\YHLOG"), True
Dim journalAfter, added, stamp, n
journalAfter = ReadText(journalPath)
Check "journal_keeps_earlier_lines", Left(journalAfter, Len(journalBefore)), journalBefore
added = Mid(journalAfter, Len(journalBefore) + 1)
Check "journal_ends_with_line_break", Right(added, 2), vbCrLf
added = Split(added, vbCrLf)
Check "journal_line_count", UBound(added), expectedCount
Set stamp = New RegExp
stamp.Pattern = "^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d $"
For n = 0 To expectedCount - 1
  If n < UBound(added) Then
    Check "journal_line_" & n & "_stamp", stamp.Test(Left(added(n), 20)), True
    Check "journal_line_" & n & "_text", Mid(added(n), 21), expectedLines(n)
  End If
Next

' ---- toolkit: INI ----
Dim ht, section, key, value, iniPath, drive, name, iniText
Set ht = CreateObject("Kavrolin.clsHT")
Check "ini_path_starts_empty", ht.INIFile, ""
Check "log_path_starts_empty", ht.LOGFile, ""
' CreateIni joins folder and name with one backslash; no file is made.
drive = here & "\" : name = "\pos.ini"
ht.CreateIni drive, name
iniPath = here & "\pos.ini"
Check "create_ini_path", ht.INIFile, iniPath
Check "create_ini_makes_no_file", fso.FileExists(iniPath), False
ht.INIFile = iniPath
Check "ini_path_put", ht.INIFile, iniPath
section = "Device" : key = "Port" : value = "COM1"
Check "ini_write_by_reference", ht.SetIniKeyValue(section, key, value), True
Check "ini_write_leaves_variables", section & "|" & key & "|" & value, "Device|Port|COM1"
Check "ini_read_by_reference", ht.GetIniKeyValue(section, key), "COM1"
Check "ini_read_literals", ht.GetIniKeyValue("device", "PORT"), "COM1"
Check "ini_file_exists", fso.FileExists(iniPath), True
Check "ini_write_chinese", ht.SetIniKeyValue("Device", "Name", Chinese), True
Check "ini_read_chinese", ht.GetIniKeyValue("Device", "Name"), Chinese
Check "ini_write_second_section", ht.SetIniKeyValue("Printer", "Width", "40"), True
Check "ini_key_list", ht.GetIniKeyList(section), "Port" & Chr(0) & "Name" & Chr(0)
Check "ini_section_list", ht.GetIniSectionList(), "Device" & Chr(0) & "Printer" & Chr(0)
Check "ini_missing_key_reads_empty", ht.GetIniKeyValue("Device", "Nothing"), ""
Check "ini_remark", ht.SetIniRemark("Printer", "paper"), True
Check "ini_remark_wrong_case", ht.SetIniRemark("printer", "paper"), False
iniText = ReadText(iniPath)
Check "ini_file_chinese_value", InStr(iniText, "Name=" & Chinese & vbCrLf) > 0, True
Check "ini_file_remark_below_header", InStr(iniText, "[Printer]" & vbCrLf & ";paper" & vbCrLf & "Width=40") > 0, True
Check "ini_delete_key", ht.DelIniKey(section, key), True
Check "ini_deleted_key_reads_empty", ht.GetIniKeyValue(section, key), ""
Check "ini_delete_section", ht.DelIniSection("Printer"), True
Check "ini_section_list_after_delete", ht.GetIniSectionList(), "Device" & Chr(0)
Check "ini_format_left_out", ht.SetIniFormat(), True
Check "ini_value_after_format", ht.GetIniKeyValue("Device", "Name"), Chinese

' ---- toolkit: registry (the Wine prefix's own registry) ----
' A failing registry member must not stop the rest of the script.
Dim root, regKey, regName, regValue, shell
root = &H80000001
regKey = "Software\KavrolinScriptHost\Level2\Level3" : regName = "Name" : regValue = "Value 1"
On Error Resume Next
ok = ht.SetRegKeyValue(root, regKey, regName, regValue)
Check "registry_set_raises_nothing", TakeError(), 0
Check "registry_set_three_new_levels", ok, True
value = ht.GetRegKeyValue(root, regKey, regName)
Check "registry_get_raises_nothing", TakeError(), 0
Check "registry_get", value, "Value 1"
Check "registry_root_unchanged", root, &H80000001
Check "registry_key_unchanged", regKey, "Software\KavrolinScriptHost\Level2\Level3"
regValue = Chinese
Check "registry_set_chinese", ht.SetRegKeyValue(root, regKey, regName, regValue), True
Check "registry_get_chinese", ht.GetRegKeyValue(root, regKey, regName), Chinese
' An empty value is stored as one space, and the caller's variable says so.
regValue = ""
Check "registry_set_empty", ht.SetRegKeyValue(root, regKey, "Empty", regValue), True
Check "registry_empty_written_back", regValue, " "
Check "registry_get_empty", ht.GetRegKeyValue(root, regKey, "Empty"), " "
Check "registry_missing_value", ht.GetRegKeyValue(root, regKey, "Nothing"), ""
Check "registry_missing_key", ht.GetRegKeyValue(root, regKey & "\Nothing", regName), ""
Set shell = CreateObject("WScript.Shell")
shell.RegWrite "HKCU\" & regKey & "\Count", 256, "REG_DWORD"
Check "registry_dword_written_by_shell", TakeError(), 0
Check "registry_get_dword", ht.GetRegKeyValue(root, regKey, "Count"), "256"
Check "registry_shell_reads_string", shell.RegRead("HKCU\" & regKey & "\" & regName), Chinese
Check "registry_delete_value", ht.DelRegKeyValue(root, regKey, regName), True
Check "registry_deleted_value_reads_empty", ht.GetRegKeyValue(root, regKey, regName), ""
Check "registry_delete_missing_value", ht.DelRegKeyValue(root, regKey, "Nothing"), True
Check "registry_delete_value_missing_key", ht.DelRegKeyValue(root, regKey & "\Nothing", "x"), False
Check "registry_delete_missing_key", ht.DelRegKey(root, regKey & "\Nothing"), False
Check "registry_delete_key", ht.DelRegKey(root, regKey), True
Check "registry_deleted_key_reads_empty", ht.GetRegKeyValue(root, regKey, "Empty"), ""
Check "registry_delete_parents", ht.DelRegKey(root, "Software\KavrolinScriptHost\Level2") And _
                                   ht.DelRegKey(root, "Software\KavrolinScriptHost"), True
Check "registry_raised_nothing", TakeError(), 0
On Error GoTo 0

' ---- toolkit: by-reference write-back and left-out optionals ----
Dim counter, text, hexText, target, readOnly
counter = 0
ht.CalculateStr "a,b,c", ",", counter
Check "counter_written_back", counter, 2
text = "ab"
Check "format_defaults_left_out", ht.FormatStrLn(text, 5), "   ab"
Check "format_left_align", ht.FormatStrLn(text, 5, "*", False), "ab***"
Check "format_leaves_text", text, "ab"
' Hex2Bin writes the upper-cased text back; a number in the variable is
' coerced to the text parameter and keeps its value.
hexText = "0f"
Check "hex_to_bin", ht.Hex2Bin(hexText), "00001111"
Check "hex_written_back", hexText, "0F"
hexText = 15
Check "hex_number_variable", ht.Hex2Bin(hexText), "00010101"
Check "hex_number_variable_kept", hexText, 15
Check "left_ansi", ht.HLeft("abc", 2), "ab"
Check "left_ansi_chinese_bytes", ht.HLeft(Chinese & "x", 2), Left(Chinese, 1)
Check "parse_path", ht.ParsePath("C:\a\b.txt"), "C:\a\"
Check "bin_to_dec", ht.Bin2Dec("101"), 5
Check "file_time_default_mask", Len(ht.GetFileLastModiTime(iniPath)), 12
Check "file_time_mask", ht.GetFileLastModiTime(iniPath, "YYYY"), CStr(Year(fso.GetFile(iniPath).DateLastModified))
Check "file_size", ht.GetFileSize(iniPath), fso.GetFile(iniPath).Size
' The byte array travels as VT_ARRAY|VT_UI1 and back by reference; the
' conversion gives the three bytes 0, 65, 66 for "AB" and back again.
' (Wine's VBScript has no UBound for byte arrays.)
Dim bytes, back
bytes = ht.ConverStrToByte("AB")
back = ht.ConverByteToStr(bytes)
Check "bytes_round_trip_length", Len(back), 3
Check "bytes_round_trip_text", Mid(back, 2), "AB"
Check "delete_file_force_left_out", ht.DeleteFile(iniPath), True
Check "file_gone", fso.FileExists(iniPath), False
' FileKill leaves a read-only file when bDeleteReadOnly is left out.
readOnly = here & "\locked.txt"
fso.CreateTextFile(readOnly, True).Close
fso.GetFile(readOnly).Attributes = 1
Check "file_kill_read_only_left_out", ht.FileKill(readOnly), False
Check "file_kill_read_only_stays", fso.FileExists(readOnly), True
Check "file_kill_read_only_forced", ht.FileKill(readOnly, True), True
Check "file_kill_read_only_gone", fso.FileExists(readOnly), False
Check "create_dir_tree", ht.CreateDirTree(here & "\t1\t2"), True
Check "folder_made", fso.FolderExists(here & "\t1\t2"), True
Check "delete_folder_force_left_out", ht.DeleteFolder(here & "\t1"), True
Check "folder_gone", fso.FolderExists(here & "\t1"), False
Check "special_folder_by_enum_value", ht.GetSpecialFolder(2), fso.GetSpecialFolder(2).Path
Check "ping_loopback", ht.Ping("127.0.0.1"), True

' ---- failures through Err ----
On Error Resume Next
ht.NoSuchMember
Check "error_member_not_found", TakeError(), 438
ht.HLeft "abc", "not a number"
Check "error_type_mismatch", TakeError(), 13
ht.WriteLog
Check "error_argument_not_optional", TakeError(), 449
ht.HLeft "abc", 1, 2
Check "error_too_many_arguments", TakeError(), 450
ht.HLeft Null, 1
Check "error_invalid_use_of_null", TakeError(), 94
ht.StrReplaceComma Null
Check "error_description", Err.Description, "Invalid use of Null"
Check "error_number_with_description", TakeError(), 94
ht.GetSpecialFolder "not a number"
Check "error_enum_type_mismatch", TakeError(), 13
pos.Sale 1, "not a number", "01", "A1"
Check "error_transaction_type_mismatch", TakeError(), 13
Check "no_error_left", Err.Number, 0
On Error GoTo 0

WScript.Echo "failures " & failures
WScript.Echo "POS HOST DONE"
