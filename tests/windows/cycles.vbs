' Creates and releases each class many times, as a long-running host does
' over a day, with a call on each object. The runner reads the script host's
' memory when the file "warm" appears (after a first round that lets every
' cache fill) and again at "done", and bounds the growth between them.
' Arguments: the number of cycles of the measured round.
Option Explicit

Dim fso, cycles, i, o, progIds, p
Set fso = CreateObject("Scripting.FileSystemObject")
cycles = CLng(WScript.Arguments(0))
progIds = Array("Kavrolin.clsInterFace", "Kavrolin.clsHT", "Kavrolin.cls_Rizhi")

Sub Round(count)
  Dim n
  For n = 1 To count
    For Each p In progIds
      Set o = CreateObject(p)
      If p = "Kavrolin.clsHT" Then
        o.HLeft "abc", 2
      ElseIf p = "Kavrolin.clsInterFace" Then
        o.Initialize "C:\"
      End If
      Set o = Nothing
    Next
  Next
End Sub

Sub Mark(name)
  fso.CreateTextFile(name, True).Close
  ' The runner reads the memory while the script waits (Wine's script host
  ' has no WScript.Sleep: the wait asks for the file until it is there).
  Do While Not fso.FileExists(name & ".read")
  Loop
End Sub

Round 2000
Mark "warm"
Round cycles
Mark "done"
WScript.Echo "CYCLES DONE"
