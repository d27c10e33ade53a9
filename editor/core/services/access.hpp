// Who may do what: access lists and owners, the account the editor runs as, and the
// editor's instance with administrator rights.
#pragma once

#include <chrono>
#include <string_view>
#include <vector>

#include "editor/core/services/types.hpp"
#include "schedule/outcome.hpp"

namespace editor {

// How long the editor waits for its instance with administrator rights before it looks what
// is there: that instance reads every folder's access list, and naming the accounts in them can
// take long on a domain.
inline constexpr std::chrono::milliseconds kAdministratorPatience{120'000};

class Access {
  public:
    // The owner and access list of the file or folder at `path`, and whether it is a reparse
    // point.
    virtual schedule::Outcome security(std::string_view path, Security& security) const = 0;
    // The account the editor runs as; an empty SID when it cannot be told.
    virtual Account account() const = 0;
    // Makes the folder at `path` with an access list of exactly `entries`, in their order,
    // inheriting nothing; `existed` tells whether a file or folder of that name was there
    // already, which is then left as it was.
    virtual schedule::Outcome createFolder(std::string_view path,
                                           const std::vector<AccessEntry>& entries,
                                           bool& existed) = 0;
    // Gives the folder at `path` an access list of exactly `entries`, inheriting nothing; what
    // it holds inherits the entries meant for it anew.
    virtual schedule::Outcome setFolderAccess(std::string_view path,
                                              const std::vector<AccessEntry>& entries) = 0;
    // Makes Administrators the owner of the file or folder at `path` (not a link), which then
    // keeps only the entries it inherits from the folder above.
    virtual schedule::Outcome takeOver(std::string_view path) = 0;
    // Whether the editor runs with an administrator's full rights, not the filtered ones User
    // Account Control gives an administrator's programs.
    virtual bool runsElevated() const = 0;
    // Starts the editor's own program again with administrator rights, which the system asks
    // an administrator to consent to, with `arguments`, and waits while it runs, up to
    // `patience`, while the editor's windows keep painting.
    virtual AdministratorRun runAsAdministrator(std::string_view arguments,
                                                std::chrono::milliseconds patience) = 0;
    // Starts the editor's own program again with administrator rights, which the system asks
    // the user or an administrator to consent to, with `arguments`, in the working folder;
    // never waits. A user who declines gives the failure ERROR_CANCELLED.
    virtual schedule::Outcome startAsAdministrator(std::string_view arguments) = 0;

  protected:
    ~Access() = default;
};

}  // namespace editor
