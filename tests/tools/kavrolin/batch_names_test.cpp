// File and folder names beyond ASCII, through `kavrolin batch` as a script
// host would send them: every member that takes a path finds a name written
// in one letter case by the same name in another, and the key list of an INI
// file that repeats its keys lists every key line of its first section.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "cli_test_support.h"
#include "support/temp_dir.h"

namespace kavrolin::cli {
namespace {

namespace fs = std::filesystem;

struct Row {
  const char* label;
  std::string line;
  std::string answer;  // the start of the line it answers
};

std::string Call(const std::string& member, const std::string& args) {
  return R"({"call":"h.)" + member + R"(","args":[)" + args + "]}";
}

TEST(BatchNames, EveryMemberThatTakesAPathIgnoresLetterCaseBeyondAscii) {
  CliEnv env;
  const fs::path drive_c = env.prefix->root() / "drive_c";
  // Written on the register as the platform's profile functions read it: a
  // key repeated, and the section repeated.
  fs::create_directories(drive_c / "Kasse");
  testing::WriteHostFile(drive_c / "Kasse" / "Wiederholt.ini",
                         "[S]\r\nk=1\r\nk=2\r\nj=3\r\n[S]\r\nm=4\r\n");

  const std::string folder = R"("C:\\Kasse\\Журнал)";      // as made
  const std::string other = R"("c:\\KASSE\\журнал)";       // the same folder in other letters
  const Row rows[] = {
      {"new", R"({"new":"h","class":"clsHT"})", R"({"result":null,)"},
      {"create_tree", Call("CreateDirTree", R"("C:\\Kasse\\Журнал\\Σοφία")"), R"({"result":true,)"},
      {"folder_other_case", Call("FolderExists", other + R"(\\ΣΟΦΊΑ")"), R"({"result":true,)"},
      {"ini_as_made", R"({"put":"h.INIFile","value":)" + folder + R"(\\Äpfel.ini"})", R"({"result":null,)"},
      {"ini_write", Call("SetIniKeyValue", R"("Kasse","Nummer","7")"), R"({"result":true,)"},
      {"ini_other_case", R"({"put":"h.INIFile","value":)" + other + R"(\\äPFEL.INI"})", R"({"result":null,)"},
      {"ini_read_other_case", Call("GetIniKeyValue", R"("kasse","NUMMER")"), R"({"result":"7",)"},
      {"file_other_case", Call("FileExists", other + R"(\\ÄPFEL.ini")"), R"({"result":true,)"},
      {"another_letter_is_another_name", Call("FileExists", other + R"(\\Apfel.ini")"),
       R"({"result":false,)"},
      {"drive", Call("DriveExists", R"("c:")"), R"({"result":true,)"},
      {"size_other_case", Call("GetFileSize", other + R"(\\äpfel.ini")"), R"({"result":19,)"},
      {"time_other_case", Call("GetFileLastModiTime", other + R"(\\äpfel.ini","YYYY")"), R"({"result":"20)"},
      {"encode_other_case", Call("EncodeFile", other + R"(\\äpfel.ini",)" + other + R"(\\σοφία\\Kopie.bin",5)"),
       R"({"result":true,)"},
      {"copy_there", Call("FileExists", folder + R"(\\Σοφία\\Kopie.bin")"), R"({"result":true,)"},
      {"kill_other_case", Call("FileKill", folder + R"(\\ΣΟΦΊΑ\\KOPIE.BIN")"), R"({"result":true,)"},
      {"copy_gone", Call("FileExists", folder + R"(\\Σοφία\\Kopie.bin")"), R"({"result":false,)"},
      {"log_as_made", R"({"put":"h.LOGFile","value":)" + folder + R"(\\Äpfel.log"})", R"({"result":null,)"},
      {"log_first", Call("WriteLog", R"("1","eins")"), R"({"result":true,)"},
      {"log_other_case", R"({"put":"h.LOGFile","value":)" + other + R"(\\äpfel.LOG"})", R"({"result":null,)"},
      {"log_second", Call("WriteLog", R"("2","zwei")"), R"({"result":true,)"},
      {"repeats_other_case", R"({"put":"h.INIFile","value":"c:\\kasse\\WIEDERHOLT.INI"})", R"({"result":null,)"},
      {"key_list_lists_every_key_line", Call("GetIniKeyList", R"("s")"),
       R"({"result":"k\u0000k\u0000j\u0000",)"},
      {"first_line_of_a_repeated_key", Call("GetIniKeyValue", R"("S","K")"), R"({"result":"1",)"},
      {"second_section_is_not_read", Call("GetIniKeyValue", R"("S","m")"), R"({"result":"",)"},
      {"delete_file_other_case", Call("DeleteFile", other + R"(\\ÄPFEL.INI")"), R"({"result":true,)"},
      {"file_gone", Call("FileExists", folder + R"(\\Äpfel.ini")"), R"({"result":false,)"},
  };
  std::string input;
  for (const Row& row : rows) input += row.line + "\n";
  const CliRun run = env.Run({"batch"}, input);
  ASSERT_EQ(run.status, 0) << run.err;
  std::istringstream answers(run.out);
  std::string answer;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    ASSERT_TRUE(std::getline(answers, answer));
    EXPECT_EQ(answer.substr(0, row.answer.size()), row.answer) << answer;
  }

  // Both spellings of the log reached one file (the log drops the extension).
  const fs::path kasse = drive_c / "Kasse" / "Журнал";
  EXPECT_FALSE(fs::exists(kasse / "äpfel"));
  const std::string log = testing::ReadHostFile(kasse / "Äpfel");
  EXPECT_NE(log.find("eins"), std::string::npos) << log;
  EXPECT_NE(log.find("zwei"), std::string::npos) << log;

  // The folder goes by another spelling too.
  const CliRun gone = env.Run({"batch"}, R"({"new":"h","class":"clsHT"})"
                                         "\n" + Call("DeleteFolder", R"("c:\\kasse\\ЖУРНАЛ",true)") +
                                             "\n" + Call("FolderExists", folder + R"(")") + "\n");
  EXPECT_NE(gone.out.find(R"({"result":true,"args":["c:\\kasse\\ЖУРНАЛ",true])"), std::string::npos)
      << gone.out;
  EXPECT_NE(gone.out.find(R"({"result":false,"args":["C:\\Kasse\\Журнал"])"), std::string::npos)
      << gone.out;
  EXPECT_FALSE(fs::exists(drive_c / "Kasse" / "Журнал"));
}

}  // namespace
}  // namespace kavrolin::cli
