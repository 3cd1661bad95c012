#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "zcmd/ProgramLauncher.h"

namespace zcmd {

class Variables;
struct Session;

// PuTTY's pscp and plink take the device's password on their command line
// ("-pw"), where every user of the machine can read it (ps, /proc). Before
// such a program starts, the password goes into a pipe that only it
// inherits, and its command line names that pipe instead ("-pwfile
// /dev/fd/N", which PuTTY reads the same password from).
//
// A value handed over this way is a secret for the rest of the run: no
// started program gets a variable holding it in its environment. So is the
// variable a line that runs pscp or plink names after "-pw" ("-pw %PASS%"),
// found before the line is expanded: whether that tool is then found and
// where it runs (a side of a pipe runs in a process of its own, whose
// handovers this one never learns of), its value stays out of the
// environment of every program started afterwards.
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
    // Marks the variables that `line`, as written (before expansion), gives
    // a PuTTY tool after "-pw" as secret in session.secretNames, and their
    // present values as secrets.
    static void noteSecretNames(std::string_view line, Session &session);
    // "NAME=value" for a started program, without the secret variables and
    // without variables whose value is a secret. The present values of the
    // secret variables become secrets first, so changing one later does not
    // set its old value free.
    static std::vector<std::string> environmentFor(Session &session);

private:
    std::vector<int> pipes_;
};

} // namespace zcmd
