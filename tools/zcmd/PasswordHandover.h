#pragma once
#include <string>
#include <vector>

#include "zcmd/ProgramLauncher.h"

namespace zcmd {

class Variables;

// PuTTY's pscp and plink take the device's password on their command line
// ("-pw"), where every user of the machine can read it (ps, /proc). Before
// such a program starts, the password goes into a pipe that only it
// inherits, and its command line names that pipe instead ("-pwfile
// /dev/fd/N", which PuTTY reads the same password from).
//
// A value handed over this way is a secret for the rest of the run: no
// started program gets a variable holding it in its environment.
class PasswordHandover {
public:
    PasswordHandover() = default;
    ~PasswordHandover();
    PasswordHandover(const PasswordHandover &) = delete;
    PasswordHandover &operator=(const PasswordHandover &) = delete;

    // Rewrites `request` when it starts a PuTTY tool with "-pw"; the pipes
    // it made stay open (close-on-exec, listed in request.inherited) until
    // this object goes. Each password is added to `secrets`. False (nothing
    // changed, request not to be started) when a pipe cannot be made.
    bool prepare(LaunchRequest &request, std::vector<std::string> &secrets);

    static bool isPuttyTool(const std::string &path);
    // "NAME=value" for a started program, without variables whose value is a secret.
    static std::vector<std::string> environmentFor(const Variables &variables,
                                                   const std::vector<std::string> &secrets);

private:
    std::vector<int> pipes_;
};

} // namespace zcmd
