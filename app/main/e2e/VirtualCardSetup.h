// What both end-to-end suites need before the engine starts: the texts, a private folder for
// the settings files and the PC store, and the engine pointed at a virtual card linked there.
#pragma once

#include "config/BL_File.h"
#include "platform/ResStringManager.h"
#include "virtualmodem/VirtualModem.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

namespace e2e {

// Generous: the engine and the card talk over a real pseudo-terminal.
constexpr int kWait = 15000;

inline QString text(unsigned number) { return platform::GetLanguageString(number); }

class VirtualCardSetup {
public:
    // False when the temporary folder or the delivered settings cannot be made.
    bool prepare()
    {
        if (platform::stringManager() == nullptr)
            platform::createStringManager();
        if (!m_folder.isValid())
            return false;
        m_link = m_folder.filePath("ttyCard").toStdString();
        ::setenv("LUMACORE_PORT", m_link.c_str(), 1);
        ::setenv("LUMACORE_DB", m_folder.filePath("db.dat").toLocal8Bit().constData(), 1);
        FileStore().setFolder(m_folder.path());
        FileStore().allConfig() = AllConfig{};
        return FileStore().RestoreAllConfigDefaults();
    }

    // The card the suites plug in: its SIM answers "busy" for a moment after power-up.
    static virtualmodem::CardOptions cardOptions(bool pinRequired)
    {
        virtualmodem::CardOptions options;
        options.pinRequired = pinRequired;
        options.simBusyTime = std::chrono::milliseconds(300);
        return options;
    }

    // Plugs a card in at the link the engine watches; null (with the reason in error) on failure.
    std::unique_ptr<virtualmodem::VirtualModem> plugCard(const virtualmodem::CardOptions &options,
                                                         std::string &error) const
    {
        auto card = std::make_unique<virtualmodem::VirtualModem>(options);
        if (!card->start(m_link)) {
            error = card->lastError();
            return nullptr;
        }
        return card;
    }

    std::unique_ptr<virtualmodem::VirtualModem> plugCard(bool pinRequired, std::string &error) const
    {
        return plugCard(cardOptions(pinRequired), error);
    }

    const std::string &link() const { return m_link; }
    QString filePath(const QString &name) const { return m_folder.filePath(name); }

private:
    QTemporaryDir m_folder;
    std::string m_link;
};

}  // namespace e2e
