#include "user_locale.h"

#include <clocale>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <set>

namespace platform {
namespace {

// Languages that write a decimal comma, for machines where the locale is not generated.
bool LanguageUsesComma(const std::string& language) {
    static const std::set<std::string> comma = {
        "af", "az", "be", "bg", "bs", "ca", "cs", "da", "de", "el", "es", "et",
        "eu", "fi", "fo", "fr", "gl", "hr", "hu", "id", "is", "it", "ka", "kk",
        "ky", "lt", "lv", "mk", "mn", "nb", "nl", "nn", "no", "pl", "pt", "ro",
        "ru", "sk", "sl", "sq", "sr", "sv", "tr", "uk", "uz", "vi"};
    return comma.count(language) != 0;
}

} // namespace

std::string NumericLocaleName() {
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* v = std::getenv(var);
        if (v != nullptr && v[0] != '\0')
            return v;
    }
    return "C";
}

char DecimalSeparatorOf(const std::string& localeName) {
    if (localeName.empty() || localeName == "C" || localeName == "POSIX" ||
        localeName.rfind("C.", 0) == 0)
        return '.';
    if (locale_t loc = ::newlocale(LC_NUMERIC_MASK, localeName.c_str(), nullptr)) {
        const char* radix = ::nl_langinfo_l(RADIXCHAR, loc);
        const char sep = radix != nullptr && radix[0] != '\0' ? radix[0] : '.';
        ::freelocale(loc);
        return sep;
    }
    const std::string language = localeName.substr(0, localeName.find_first_of("_.@"));
    return LanguageUsesComma(language) ? ',' : '.';
}

char UserDecimalSeparator() {
    return DecimalSeparatorOf(NumericLocaleName());
}

} // namespace platform
