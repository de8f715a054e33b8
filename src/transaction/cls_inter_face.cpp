#include "transaction/cls_inter_face.h"

#include <iterator>
#include <optional>
#include <string>

#include "base/ansi.h"
#include "base/automation_error.h"
#include "platform/common/file_system_object.h"
#include "platform/terminal_library.h"
#include "transaction/payment_trail.h"
#include "transaction/records.h"
#include "transaction/terminal_call.h"

namespace kavrolin::transaction {

// The journal texts of one transaction kind. A line reads: outcome, " 卡号：",
// card number, the index label, index number.
struct JournalTexts {
  const char16_t* success;
  const char16_t* failure;
  const char16_t* failure_index_label;
  const char16_t* exception;
  bool journal_outcome;  // "other" journals only its failures to run
};

namespace {

constexpr char16_t kCardLabel[] = u" 卡号：";
constexpr char16_t kIndexLabel[] = u" 索引：";

// The failure line of a sale has two blanks before its index label.
constexpr JournalTexts kSaleTexts{u"消费成功", u"消费失败", u"  索引：", u"消费异常", true};
constexpr JournalTexts kVoidSaleTexts{u"撤销成功", u"撤销失败", kIndexLabel, u"撤销异常", true};
constexpr JournalTexts kRefundTexts{u"退货成功", u"退货失败", kIndexLabel, u"退货异常", true};
constexpr JournalTexts kOtherTexts{u"", u"", kIndexLabel, u"其他异常", false};

// A journal line of an outcome, made in one piece.
Text OutcomeLine(TextView outcome, TextView card, TextView index_label, TextView index) {
  Text line;
  line.reserve(outcome.size() + std::size(kCardLabel) - 1 + card.size() + index_label.size() +
               index.size());
  line.append(outcome).append(kCardLabel).append(card).append(index_label).append(index);
  return line;
}

// What the exception being handled says of a transaction that failed to run.
Text CurrentFailure() {
  try {
    throw;
  } catch (const AutomationError& e) {
    return e.description();
  } catch (...) {
    return u"run-time failure";
  }
}

}  // namespace

clsInterFace::clsInterFace(platform::Services services, journal::JournalOptions journal)
    : services_(std::move(services)), journal_options_(journal) {}

clsInterFace::~clsInterFace() = default;

void clsInterFace::Journal(const Text& line) {
  if (!m_objRizhi) m_objRizhi = std::make_unique<journal::cls_Rizhi>(services_, journal_options_);
  m_objRizhi->WriteLog(line);
}

bool clsInterFace::Transact(const JournalTexts& texts, TextView code,
                            const std::function<std::string()>& amount_field, int32_t invoice,
                            const Text& cashier, const Text& register_id) {
  bool result = false;
  std::optional<PaymentTrail> trail;
  try {
    const std::string amount = amount_field();
    m_strTransCode = code;
    const std::string request = BuildRequest(m_strTransCode, amount, invoice, cashier, register_id);
    if (!services_.terminal) throw platform::TerminalLibraryNotFound();
    // The started record is on disk before the terminal can take any money.
    trail.emplace(services_, request,
                  services_.clock && services_.records
                      ? std::optional(StartOf(*services_.clock, code, amount, invoice, cashier,
                                              register_id))
                      : std::nullopt);
    const TerminalResult outcome = CallTerminal(*services_.terminal, request);
    trail->Answered(outcome);
    m_strFanhui = AsciiText(std::to_string(outcome.code));
    if (outcome.code == 1) {
      result = true;
      ResponseFields fields = ReadResponse(outcome.response);
      m_strCardNo = std::move(fields.card_number);
      m_strCardMoney = std::move(fields.amount);
      m_strSY = std::move(fields.index_number);
      if (texts.journal_outcome) {
        Journal(OutcomeLine(texts.success, m_strCardNo, kIndexLabel, m_strSY));
      }
    } else if (texts.journal_outcome) {
      Journal(OutcomeLine(texts.failure, m_strCardNo, texts.failure_index_label, m_strSY));
    }
  } catch (...) {
    result = false;
    if (trail) trail->Failed(CurrentFailure());
    Journal(texts.exception);
  }
  return result;
}

bool clsInterFace::Sale(double str_JR, int32_t str_FPHM, const Text& str_SYYH,
                        const Text& str_SYJID) {
  return Transact(kSaleTexts, kSaleCode, [&] { return AmountField(str_JR); }, str_FPHM, str_SYYH,
                  str_SYJID);
}

bool clsInterFace::VoidSale(double str_JR, int32_t str_FPHM, const Text& str_SYYH,
                            const Text& str_SYJID) {
  return Transact(kVoidSaleTexts, kVoidSaleCode, [&] { return AmountField(str_JR); }, str_FPHM,
                  str_SYYH, str_SYJID);
}

bool clsInterFace::VoidTH(double str_JR, int32_t str_FPHM, const Text& str_SYYH,
                          const Text& str_SYJID) {
  return Transact(kRefundTexts, kRefundCode, [&] { return AmountField(str_JR); }, str_FPHM,
                  str_SYYH, str_SYJID);
}

bool clsInterFace::Qita(const Text& str_JR, int32_t str_FPHM, const Text& str_SYYH,
                        const Text& str_SYJID) {
  return Transact(kOtherTexts, kOtherCode, [&] { return AmountField(TextView(str_JR)); },
                  str_FPHM, str_SYYH, str_SYJID);
}

bool clsInterFace::Inquery() {
  bool result = false;
  m_strTransCode = kInquiryCode;
  std::optional<PaymentTrail> trail;
  try {
    if (!services_.terminal) throw platform::TerminalLibraryNotFound();
    const std::string request = ToAnsi(m_strTransCode);
    // An inquiry moves no money: traced, but no payment record.
    trail.emplace(services_, request, std::nullopt);
    const TerminalResult outcome =
        CallTerminal(*services_.terminal, request, LeftRequest::kRead);
    trail->Answered(outcome);
    m_strTransCode = outcome.request;
    result = outcome.code == 1;
    Journal(result ? u"查询成功" : u"查询失败");
  } catch (...) {
    result = false;
    if (trail) trail->Failed(CurrentFailure());
    Journal(u"查询异常");
  }
  return result;
}

bool clsInterFace::Initialize(const Text& strPath) {
  m_strAppPath = strPath;
  m_strFilePrn = m_strAppPath + u"\\toprint.txt";
  return true;
}

bool clsInterFace::GetPrintTxt(TextArray& strBuffer) { return ReadPrintFile(m_strFilePrn, strBuffer); }

bool clsInterFace::ReadPrintFile(const Text& path, TextArray& strBuffer) {
  // The array is reset before anything can fail, so a caller never takes an
  // earlier receipt for this one.
  strBuffer = TextArray{true, 0, {Text()}};
  try {
    auto fso = services_.files->CreateObject();
    if (!fso->FileExists(path)) return false;
    // A file that exists but cannot be read stays where it is: nothing is
    // deleted that was not read.
    const Text text = FromAnsi(services_.files->ReadFile(path));
    // A line ends at CR, which takes a following LF with it; LF alone ends
    // nothing.
    size_t start = 0;
    while (start < text.size()) {
      size_t cr = text.find(u'\r', start);
      if (cr == Text::npos) cr = text.size();
      strBuffer.items.push_back(text.substr(start, cr - start));
      start = cr + 1;
      if (start < text.size() && text[start] == u'\n') ++start;
    }
    try {
      fso->DeleteFile(path, false);
    } catch (const AutomationError&) {
      // A read-only print file is read and stays.
    }
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace kavrolin::transaction
