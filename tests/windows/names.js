// File names beyond ASCII through every clsHT member that takes a path, as a
// script host sends them: a name made in one letter case is found by the same
// name in another (Latin with umlauts, Cyrillic, Greek), and the key list of
// an INI file that repeats a key lists every key line of its first section.
// JScript, because Wine 8's VBScript has no ChrW for the names. Works in
// C:\KavrolinNames of the check's own Wine prefix and removes it. Prints
// ASCII only: "ok"/"FAIL" lines, the failure count and its marker line.
var failures = 0;
var fso = new ActiveXObject("Scripting.FileSystemObject");

function check(label, actual, expected) {
  if (actual === expected) {
    WScript.Echo("ok " + label);
  } else {
    WScript.Echo("FAIL " + label);
    failures++;
  }
}

var umlaut = "\u00C4pfel.txt";                           // capital umlaut
var umlautOther = "\u00E4PFEL.TXT";                      // small umlaut, capitals after
// The INI and log members take their paths in the ANSI code page (936 here),
// which holds Cyrillic and Greek but no umlauts.
var apfel = "\u042F\u0431\u043B\u043E\u043A\u043E";   // Cyrillic "apple", capital first
var apfelOther = "\u044F\u0411\u041B\u041E\u041A\u041E";
var journal = "\u0416\u0443\u0440\u043D\u0430\u043B";    // Cyrillic, capital first
var journalOther = "\u0436\u0423\u0420\u041D\u0410\u041B";
var sofia = "\u03A3\u03BF\u03C6\u03AF\u03B1";            // Greek with tonos
var sofiaOther = "\u03A3\u039F\u03A6\u038A\u0391";       // its capitals
var root = "C:\\KavrolinNames";
var made = root + "\\Kasse\\" + journal;
var other = "c:\\kavrolinnames\\KASSE\\" + journalOther;

var ht = new ActiveXObject("Kavrolin.clsHT");
check("create_tree", ht.CreateDirTree(made + "\\" + sofia), true);
check("folder_other_case", ht.FolderExists(other + "\\" + sofiaOther), true);
check("drive", ht.DriveExists("c:"), true);

var small = fso.CreateTextFile(made + "\\" + umlaut, true);
small.Write("xyz");
small.Close();
check("umlaut_other_case", ht.FileExists(other + "\\" + umlautOther), true);
check("umlaut_size_other_case", ht.GetFileSize(other + "\\" + umlautOther), 3);
check("umlaut_kill_other_case", ht.FileKill(other + "\\" + umlautOther), true);
check("umlaut_gone", fso.FileExists(made + "\\" + umlaut), false);

ht.INIFile = made + "\\" + apfel + ".ini";
check("ini_write", ht.SetIniKeyValue("Kasse", "Nummer", "7"), true);
ht.INIFile = other + "\\" + apfelOther + ".INI";
check("ini_read_other_case", ht.GetIniKeyValue("kasse", "NUMMER"), "7");
check("file_other_case", ht.FileExists(other + "\\" + apfelOther + ".ini"), true);
check("another_letter_is_another_name", ht.FileExists(other + "\\Apfel.ini"), false);
check("size_other_case", ht.GetFileSize(other + "\\" + apfelOther + ".ini"),
      fso.GetFile(made + "\\" + apfel + ".ini").Size);
check("time_other_case", ht.GetFileLastModiTime(other + "\\" + apfelOther + ".ini", "YYYY").length, 4);

check("encode_other_case",
      ht.EncodeFile(other + "\\" + apfelOther + ".ini", other + "\\" + sofiaOther + "\\Kopie.bin", 5), true);
check("copy_there", fso.FileExists(made + "\\" + sofia + "\\Kopie.bin"), true);
check("kill_other_case", ht.FileKill(made + "\\" + sofiaOther + "\\KOPIE.BIN"), true);
check("copy_gone", fso.FileExists(made + "\\" + sofia + "\\Kopie.bin"), false);

// The log drops the extension: both spellings name one file.
ht.LOGFile = made + "\\" + apfel + ".log";
check("log_first", ht.WriteLog("1", "eins"), true);
ht.LOGFile = other + "\\" + apfelOther + ".LOG";
check("log_second", ht.WriteLog("2", "zwei"), true);
var log = made + "\\" + apfel;
check("log_file_as_made", fso.FileExists(log), true);
var text = fso.FileExists(log) ? fso.OpenTextFile(log).ReadAll() : "";
check("log_holds_both_lines", text.indexOf("eins") >= 0 && text.indexOf("zwei") >= 0, true);

// Written as the registers write such files: a key repeated, the section too.
var ini = fso.CreateTextFile(root + "\\Kasse\\Wiederholt.ini", true);
ini.Write("[S]\r\nk=1\r\nk=2\r\nj=3\r\n[S]\r\nm=4\r\n");
ini.Close();
ht.INIFile = "c:\\kavrolinnames\\kasse\\WIEDERHOLT.INI";
check("key_list_lists_every_key_line", ht.GetIniKeyList("s"), "k\0k\0j\0");
check("first_line_of_a_repeated_key", ht.GetIniKeyValue("S", "K"), "1");
check("second_section_is_not_read", ht.GetIniKeyValue("S", "m"), "");

check("delete_file_other_case", ht.DeleteFile(other + "\\" + apfel.toUpperCase() + ".INI"), true);
check("file_gone", fso.FileExists(made + "\\" + apfel + ".ini"), false);
check("delete_folder_other_case", ht.DeleteFolder("c:\\KAVROLINNAMES", true), true);
check("folder_gone", fso.FolderExists(root), false);

WScript.Echo("failures " + failures);
WScript.Echo("NAMES JS DONE");
