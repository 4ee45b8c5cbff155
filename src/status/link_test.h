#pragma once

#include <QString>

#include <optional>

namespace tessaro {

// The results block of a "st -m" reply: from "Latest Link Test results" to the end of the line holding
// "Test at UTC", with the STX/ETX characters removed. Empty when the reply has no complete block.
std::optional<QString> ParseLinkTestResults(const QString& reply);

// What the link-test window shows for a results block: its non-empty lines, prompt text removed, each
// followed by CR LF. lineEnd is the shell's line end (CR LF when not learned yet).
QString LinkTestWindowText(const QString& block, const QString& lineEnd, const QString& promptText);

// The window text when there is no block to show.
QString NoLinkTestResultsText();

// The confirmation asked before starting a test, and the notice after it was requested.
QString LinkTestWarningTitle();
QString LinkTestWarningText();
QString LinkTestRequestedText();

} // namespace tessaro
