// The money and number routines on any input: an amount's text reads back to the amount
// rounded to the cent, capitals never run past their digits, and a valid document number's
// next one is valid and one more.
#include "PublicFunction.h"
#include "ShareDM.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size >= sizeof(double)) {
        double amount = 0;
        std::memcpy(&amount, data, sizeof amount);
        const QString text = AmountText(amount);
        if (std::isfinite(amount) && std::fabs(amount) < 1e15) {
            bool ok = false;
            const double back = text.toDouble(&ok);
            if (!ok || std::fabs(back - amount) > 0.005 + 1e-9 * std::fabs(amount))
                __builtin_trap();
            if (amount >= 0 && amount < 1e10) {
                const QString capitals = AmountToCapitals(amount);
                if (capitals.size() % 3 != 0 || capitals.size() > 3 * 17)
                    __builtin_trap();
            }
        }
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    IsDigits(text);
    IsNumberText(text);
    CapitalDigit(text);
    if (AmountInCapitals(text).size() > 3 * 17)
        __builtin_trap();
    if (IsValidDocumentNumber(text)) {
        const QString next = NextDocumentNumber(text);
        if (!next.isEmpty() && (!IsValidDocumentNumber(next) || next == text))
            __builtin_trap();
    }
    return 0;
}
