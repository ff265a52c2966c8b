#include "core/program_info.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#ifndef QM_PROGRAM_VERSION
#define QM_PROGRAM_VERSION ""
#endif
#ifndef QM_COMPANY_NAME
#define QM_COMPANY_NAME ""
#endif

namespace {

// The account's full name: the first field of its comment, else its login name.
std::string AccountName(uid_t uid) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return {};
    std::string fullName = found->pw_gecos != nullptr ? found->pw_gecos : "";
    fullName = fullName.substr(0, fullName.find(','));
    if (fullName.find_first_not_of(' ') != std::string::npos)
        return fullName;
    return found->pw_name != nullptr ? found->pw_name : "";
}

}  // namespace

double ProgramVersionFromText(std::string_view version) {
    std::size_t first = version.find('.');
    std::size_t second = first == std::string_view::npos ? first : version.find('.', first + 1);
    std::string number(version.substr(0, second));
    if (number.empty() || number[0] < '0' || number[0] > '9')
        return 0;
    return std::strtod(number.c_str(), nullptr);
}

ProgramInfo CurrentProgramInfo() {
    ProgramInfo info;
    info.programVersion = ProgramVersionFromText(QM_PROGRAM_VERSION);
    uid_t uid = ::getuid();
    info.userID = static_cast<std::int32_t>(uid);
    info.userName = AccountName(uid);
    info.companyName = QM_COMPANY_NAME;
    return info;
}
