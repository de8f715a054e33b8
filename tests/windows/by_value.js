// A JScript host: it passes every argument by value, so GetPrintTxt can never
// hand it the receipt. The call must be refused before the print file is
// read (and deleted). Run by script_clients.sh under Wine's cscript from a
// fresh folder, after the library was registered; prints "ok"/"FAIL" lines,
// the failure count and its marker line.
var failures = 0;
var fso = new ActiveXObject("Scripting.FileSystemObject");
var here = fso.GetAbsolutePathName(".");

function check(label, actual, expected) {
  if (actual === expected) {
    WScript.Echo("ok " + label);
  } else {
    WScript.Echo("FAIL " + label + ": got [" + actual + "], want [" + expected + "]");
    failures++;
  }
}

// The error a call raised, as JScript sees it: 0x800A0000 + the number for a
// run-time failure, as a signed 32-bit number; 0 when it returned.
function errorOf(call) {
  try {
    call();
    return 0;
  } catch (e) {
    return e.number;
  }
}

var pos = new ActiveXObject("Kavrolin.clsInterFace");
check("initialize", pos.Initialize(here), true);
check("sale", pos.Sale(12.34, 1, "01", "A1"), true);
check("receipt_written", fso.FileExists(pos.m_strFilePrn), true);

// An argument fault reaches JScript as the dispatch status itself.
var typeMismatch = 0x80020005 | 0;  // DISP_E_TYPEMISMATCH
var receipt = null;
check("by_value_null_refused", errorOf(function () { pos.GetPrintTxt(receipt); }), typeMismatch);
check("by_value_array_refused", errorOf(function () { pos.GetPrintTxt([]); }), typeMismatch);
check("by_value_text_refused", errorOf(function () { pos.GetPrintTxt("x"); }), typeMismatch);
check("receipt_kept", fso.FileExists(pos.m_strFilePrn), true);
// A JScript host reads the receipt itself, as a text file.
var stream = fso.OpenTextFile(pos.m_strFilePrn, 1);
var text = stream.ReadAll();
stream.Close();
check("receipt_whole", text.indexOf("AMOUNT: 12.34") >= 0, true);

WScript.Echo("failures " + failures);
WScript.Echo("BY VALUE JS DONE");
