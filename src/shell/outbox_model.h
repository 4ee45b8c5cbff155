#pragma once

#include "messaging/out_idx.h"
#include "shell/index_file_model.h"

#include <vector>

namespace tessaro {

// The Sent Items grid over OUT.IDX: status words in the operator's language, "SEARCH & RESCUE" lines red.
class OutboxModel final : public IndexFileModel {
    Q_OBJECT
public:
    explicit OutboxModel(QObject* parent = nullptr);
    // Column headers in the current language.
    void retranslate();

    QString fileName(int row) const;
    QString les(int row) const;
    QString reference(int row) const;
    QString status(int row) const;
    // Lines not sent yet ("Initiated" or "Sending"): asked about before exit.
    int unsentCount() const { return m_unsent; }

    // A status word as shown: the nine known words translated, any other text unchanged.
    static QString StatusText(const QString& stored);

protected:
    QString displayText(int column, const QString& value) const override;
    QString sortText(int column, const QString& value) const override;
    bool lineRed(int line) const override;
    void lineLoaded() override;

private:
    std::vector<bool> m_red;
    int m_unsent = 0;
};

} // namespace tessaro
