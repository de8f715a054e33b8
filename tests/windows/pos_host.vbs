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

' ---- card transactions against trans.dll ----
Dim pos, ok, lines, before
Set pos = CreateObject("Kavrolin.clsInterFace")
Check "new_object_empty_card", pos.GetCardNo(), ""
Check "new_object_empty_property", pos.m_strCardNo, ""
ok = pos.Initialize(here)
Check "initialize_result", ok, True
Check "initialize_print_path", pos.m_strFilePrn, here & "\toprint.txt"
Check "initialize_app_path", pos.m_strAppPath, here

Check "sale", pos.Sale(12.34, 1, "01", "A1"), True
Check "sale_return_code", pos.GetFanhui(), "1"
' The card field comes back as the terminal filled it, padded to its width.
Check "sale_card", RTrim(pos.GetCardNo()), "6222000000000009"
Check "sale_card_property_agrees", pos.m_strCardNo, pos.GetCardNo()
Check "sale_amount_property_agrees", pos.m_strCardMoney, pos.GetCardMoney()
Check "sale_index_property_agrees", pos.m_strSY, pos.GetSY()
Check "sale_index_present", Len(pos.GetSY()) > 0, True

' The receipt into a script variable: element 0 empty, then the lines.
lines = Empty
ok = pos.GetPrintTxt(lines)
Check "print_read", ok, True
Check "print_array_lower_bound", LBound(lines), 0
Check "print_array_has_lines", UBound(lines) >= 3, True
Check "print_element_zero_empty", lines(0), ""
Dim i, cardLine
cardLine = False
For i = 1 To UBound(lines)
  If InStr(lines(i), "6222000000000009") > 0 Then cardLine = True
Next
Check "print_names_card", cardLine, True
ok = pos.GetPrintTxt(lines)
Check "print_consumed", ok, False
Check "print_consumed_bounds", UBound(lines), 0

Check "inquiry", pos.Inquery(), True
Check "void_sale", pos.VoidSale(12.34, 2, "01", "A1"), True
Check "refund", pos.VoidTH(1.5, 3, "01", "A1"), True
Check "other", pos.Qita("5.00", 4, "01", "A1"), True
' Text and numbers cross to the typed parameters by automation's rules.
Check "sale_text_amount", pos.Sale("7.25", "5", 1, 2), True
pos.m_strCardNo = "X"
Check "property_put_read_back", pos.GetCardNo(), "X"

Dim second
Set second = CreateObject("Kavrolin.clsInterFace")
Check "objects_independent", second.GetCardNo(), ""

Check "journal_folder", fso.FolderExists("C:\YHLOG"), True
Check "journal_written", fso.GetFolder("C:\YHLOG").Files.Count > 0, True

Dim journal
Set journal = CreateObject("Kavrolin.cls_Rizhi")
Check "journal_object_line", journal.WriteLog("script line"), True

' ---- toolkit: INI ----
Dim ht, section, key, value, iniPath
Set ht = CreateObject("Kavrolin.clsHT")
Check "ini_path_starts_empty", ht.INIFile, ""
iniPath = here & "\pos.ini"
ht.INIFile = iniPath
Check "ini_path_put", ht.INIFile, iniPath
section = "Device" : key = "Port" : value = "COM1"
Check "ini_write_by_reference", ht.SetIniKeyValue(section, key, value), True
Check "ini_read_by_reference", ht.GetIniKeyValue(section, key), "COM1"
Check "ini_read_literals", ht.GetIniKeyValue("device", "PORT"), "COM1"
Check "ini_file_exists", fso.FileExists(iniPath), True
Check "ini_format_left_out", ht.SetIniFormat(), True
Check "ini_delete_key", ht.DelIniKey(section, key), True
Check "ini_deleted_key_reads_empty", ht.GetIniKeyValue(section, key), ""

' ---- toolkit: registry (the Wine prefix's own registry) ----
' A failing registry member must not stop the rest of the script.
Dim root, regKey, regName, regValue
root = &H80000001
regKey = "Software\KavrolinScriptHost" : regName = "Name" : regValue = "Value 1"
On Error Resume Next
ok = ht.SetRegKeyValue(root, regKey, regName, regValue)
Check "registry_set_raises_nothing", TakeError(), 0
Check "registry_set", ok, True
value = ht.GetRegKeyValue(root, regKey, regName)
Check "registry_get_raises_nothing", TakeError(), 0
Check "registry_get", value, "Value 1"
Check "registry_root_unchanged", root, &H80000001
ok = ht.DelRegKeyValue(root, regKey, regName)
Check "registry_delete_value", ok, True
ok = ht.DelRegKey(root, regKey)
Check "registry_delete_key", ok, True
Err.Clear
On Error GoTo 0

' ---- toolkit: by-reference write-back and left-out optionals ----
Dim counter, text
counter = 0
ht.CalculateStr "a,b,c", ",", counter
Check "counter_written_back", counter, 2
text = "ab"
Check "format_defaults_left_out", ht.FormatStrLn(text, 5), "   ab"
Check "format_left_align", ht.FormatStrLn(text, 5, "*", False), "ab***"
Check "left_ansi", ht.HLeft("abc", 2), "ab"
Check "parse_path", ht.ParsePath("C:\a\b.txt"), "C:\a\"
Check "bin_to_dec", ht.Bin2Dec("101"), 5
Check "file_time_default_mask", Len(ht.GetFileLastModiTime(iniPath)), 12
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
On Error GoTo 0

WScript.Echo "failures " & failures
WScript.Echo "POS HOST DONE"
