' A VBScript host that passes GetPrintTxt something it cannot write back: the
' literal Empty, or a variable in parentheses (a copy). The call is refused
' with a type mismatch and the print file stays; passed as a variable, the
' same receipt is then read and the file consumed. Run by script_clients.sh;
' prints "ok"/"FAIL" lines, the failure count and its marker line.
Option Explicit

Dim failures, fso, here
failures = 0
Set fso = CreateObject("Scripting.FileSystemObject")
here = fso.GetAbsolutePathName(".")

Sub Check(label, actual, expected)
  If actual = expected Then
    WScript.Echo "ok " & label
  Else
    WScript.Echo "FAIL " & label & ": got [" & actual & "], want [" & expected & "]"
    failures = failures + 1
  End If
End Sub

Function TakeError()
  TakeError = Err.Number
  Err.Clear
End Function

Dim pos, receipt, found
Set pos = CreateObject("Kavrolin.clsInterFace")
pos.Initialize here
Check "sale", pos.Sale(12.34, 1, "01", "A1"), True

On Error Resume Next
found = pos.GetPrintTxt(Empty)
Check "empty_literal_refused", TakeError(), 13
receipt = Empty
found = pos.GetPrintTxt((receipt))
Check "parenthesised_variable_refused", TakeError(), 13
On Error GoTo 0
Check "receipt_kept", fso.FileExists(pos.m_strFilePrn), True

found = pos.GetPrintTxt(receipt)
Check "by_reference_read", found, True
Check "by_reference_lines", UBound(receipt), 5
Check "by_reference_consumed", fso.FileExists(pos.m_strFilePrn), False

WScript.Echo "failures " & failures
WScript.Echo "BY VALUE VBS DONE"
