// The discount field and the cent rounding of the dialog's amounts.
#include <string>

#include "core/addon_error.h"
#include "core/discount.h"
#include "core/number_text.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/format.h"
#include "platform/number.h"
#include "platform/text.h"

namespace {

constexpr int16_t kBackspace = 8;
constexpr int16_t kComma = 44;
constexpr int16_t kFullStop = 46;
constexpr int16_t kDigit0 = 48;
constexpr int16_t kDigit9 = 57;
constexpr double kTooLarge = 100;

void DiscountMessage(const std::string& prompt) {
  ui::MsgBox(prompt, ui::mb::OkOnly + ui::mb::IconExclamation, new_contract::kTitle);
}

void InvalidDiscount() {
  DiscountMessage("Ungültiger Rabatt!" + std::string(rt::kCrLf) + "Geben Sie einen Rabatt zwischen 0 und 99 ein!");
}

}  // namespace

void frmNewContract::txtRabatt_KeyPress(int16_t& KeyAscii) {
  if (KeyAscii == kBackspace || KeyAscii == kComma) return;
  if (KeyAscii >= kDigit0 && KeyAscii <= kDigit9) return;
  KeyAscii = KeyAscii == kFullStop ? kComma : 0;
}

void frmNewContract::txtRabatt_Validate(bool& Cancel) {
  try {
    // A pasted "1.5" is 1,5, as the key filter makes it when typed.
    const std::string text = kp::DecimalCommaText(txtRabatt.Text());
    const bool numeric = !text.empty() && rt::IsNumeric(rt::Variant(text));
    const double typed = numeric ? rt::CDbl(rt::Variant(text)) : 0;
    if (!numeric || typed < 0) {
      InvalidDiscount();
      // Only an emptied field goes back to the normal colour; text that is
      // no discount keeps the colour the field had.
      if (text.empty()) txtRabatt.SetForeColor(ui::color::WindowText);
      Cancel = true;
    } else if (typed < kTooLarge) {
      // The percent comes from the formatted text: "0,125" is 0,13.
      txtRabatt.SetText(rt::FormatNumber(typed, "Fixed"));
      dblRabattProzent = Round2(rt::CDbl(rt::Variant(txtRabatt.Text())));
      txtRabatt.SetForeColor(dblRabattProzent != 0 ? ui::color::Red : ui::color::WindowText);
    } else {
      DiscountMessage("Rabatt darf nicht größer 99% sein!");
      txtRabatt.SetForeColor(ui::color::WindowText);
      Cancel = true;
    }
  } catch (...) {
    ReportError(std::string(new_contract::kErrSource) + ".txtRabatt_Validate", rt::CurrentError());
  }
}

double frmNewContract::Round2(double x) { return rt::Round2(x); }

double frmNewContract::ApplyDiscount(double x) const { return kp::ApplyDiscount(x, save_.percent); }
