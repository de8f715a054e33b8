// clsInterFace: the card transaction adapter. Each transaction builds a
// request, calls the terminal library, keeps the outcome in the object's
// members and journals it; none raises an error to its caller.
//
// Objects are used on one thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/text.h"
#include "base/variant.h"
#include "journal/cls_rizhi.h"
#include "platform/services.h"

namespace kavrolin::transaction {

struct JournalTexts;  // the journal lines of one transaction kind

class clsInterFace {
 public:
  explicit clsInterFace(platform::Services services, journal::JournalOptions journal = {});
  ~clsInterFace();

  // The six public text properties, read and written directly.
  Text m_strFilePrn;    // full path of the print file
  Text m_strAppPath;    // application folder given to Initialize
  Text m_strFanhui;     // the terminal's last return code as decimal text
  Text m_strCardNo;     // card number of the last successful transaction
  Text m_strCardMoney;  // amount of the last successful transaction, "0.00"
  Text m_strSY;         // index number of the last successful transaction

  bool Sale(double str_JR, int32_t str_FPHM, const Text& str_SYYH, const Text& str_SYJID);
  bool Inquery();
  bool VoidSale(double str_JR, int32_t str_FPHM, const Text& str_SYYH, const Text& str_SYJID);
  bool VoidTH(double str_JR, int32_t str_FPHM, const Text& str_SYYH, const Text& str_SYJID);
  bool Qita(const Text& str_JR, int32_t str_FPHM, const Text& str_SYYH, const Text& str_SYJID);

  Text GetCardNo() const { return m_strCardNo; }
  Text GetCardMoney() const { return m_strCardMoney; }
  Text GetSY() const { return m_strSY; }
  Text GetFanhui() const { return m_strFanhui; }

  // Reads the print file into strBuffer (element 0 empty, then one element per
  // line) and deletes the file. True when the file existed and was read.
  bool GetPrintTxt(TextArray& strBuffer);
  // Sets the application folder and the print file path in it. Answers true.
  bool Initialize(const Text& strPath);

 private:
  // One amount-carrying transaction; `amount_field` builds the amount inside
  // the transaction's failure handling.
  bool Transact(const JournalTexts& texts, TextView code,
                const std::function<std::string()>& amount_field, int32_t invoice,
                const Text& cashier, const Text& register_id);
  void Journal(const Text& line);
  bool ReadPrintFile(const Text& path, TextArray& strBuffer);

  platform::Services services_;
  journal::JournalOptions journal_options_;
  Text m_strTransCode;
  std::unique_ptr<journal::cls_Rizhi> m_objRizhi;
};

}  // namespace kavrolin::transaction
