// The contacts page with PC groups and the SIM, the contact editor (new SIM contact), the
// recipient picker with chosen recipients, the contact view, and a copy of many contacts in
// progress. The store runs over the fake engine's phonebook.
#include "SceneHost.h"
#include "Scenes.h"

#include "UI_Contacts.h"
#include "UI_CopyTips.h"
#include "UI_EditPB.h"
#include "UI_SelContacts.h"
#include "UI_ViewPB.h"

#include "logic/BL_Set.h"
#include "lumacore/fake/FakePhonebook.h"
#include "platform/MessageBoxSeam.h"

#include <QApplication>
#include <QTimer>

#include <cstring>
#include <memory>

namespace screens {

namespace {

// A PC phonebook with three groups and a SIM with a few contacts.
class Phonebook {
public:
    Phonebook()
    {
        lumacore_fake::reset();
        m_book = std::make_unique<FakePhonebook>();
        lumacore_fake::onCall(&_MEC_GetFieldSizes, [](_MEC_FIELD_SIZES *sizes) -> MEC_STATUS {
            const bool pc = sizes->storage == PB_PC;
            sizes->nameBits = pc ? 127 * 8 : 14 * 8;
            sizes->nameCoding = pc ? 6 : 5;
            sizes->numberBits = 20 * 8;
            sizes->numberCoding = 2;
            std::strcpy(sizes->numberCharacters, "0123456789+*#");
            sizes->emailBits = pc ? 128 * 8 : 0;
            sizes->emailCoding = 2;
            sizes->numberSlots = pc ? 5 : 1;
            sizes->contactCapacity = pc ? 500 : sizes->storage == PB_SIM ? 250 : 10;
            return 0;
        });
        (void)m_settings.LoadFieldLimits();
        m_store = std::make_unique<TBL_pb>(m_settings);
        const int32_t family = group("Family");
        const int32_t work = group("Work");
        group("Football club");
        add(PB_PC, "Anna Berger", "+49 171 2345678", "030 1234567", family, "anna@example.org");
        add(PB_PC, "Tom Berger", "+49 172 9876543", "", family, "");
        add(PB_PC, "Dr. Lisa Wong", "+44 7700 900123", "", work, "lisa.wong@example.com");
        add(PB_PC, "Marco Rossi", "+39 347 1234567", "+39 06 1234567", work, "");
        add(PB_PC, "Pizza Napoli", "030 7654321", "", 0, "");
        add(PB_PC, "Sven Olsen", "+46 70 1234567", "", 0, "sven@example.net");
        for (const char *name : {"Mailbox", "Taxi", "Mum"})
            m_book->put(PB_SIM, name, "+49 160 5550100");
        (void)m_store->ReloadStore(PB_SIM);
        platform::setMessageBoxHandler([](QWidget *, const QString &, int, bool) { return 1; });
    }
    ~Phonebook()
    {
        platform::setMessageBoxHandler({});
        m_store.reset();
        lumacore_fake::reset();
    }
    Phonebook(const Phonebook &) = delete;
    Phonebook &operator=(const Phonebook &) = delete;

    PbStoreSource source()
    {
        return [this] { return m_store.get(); };
    }
    void addMany(int count)
    {
        for (int i = 0; i < count; ++i)
            add(PB_PC, ("Contact " + std::to_string(i + 1)).c_str(), "+49 170 000000", "", 0, "");
    }

    SceneHost host;

private:
    int32_t group(const char *name)
    {
        _MEC_GROUP_RECORD record{};
        record.storage = PB_PC;
        std::strncpy(record.groupName, name, sizeof record.groupName - 1);
        (void)m_store->AddGroup(record);
        return record.groupId;
    }
    void add(uint8_t storage, const char *name, const char *mobile, const char *home,
             int32_t groupId, const char *email)
    {
        _MEC_CONTACT_RECORD record{};
        record.storage = storage;
        record.groupId = static_cast<uint32_t>(groupId);
        std::strncpy(record.name, name, sizeof record.name - 1);
        std::strncpy(record.numbers[0].number, mobile, 39);
        std::strncpy(record.numbers[1].number, home, 39);
        std::strncpy(record.email, email, sizeof record.email - 1);
        _MEC_CONTACT_RECORD *stored = nullptr;
        (void)m_store->AddContact(record, &stored);
    }

    std::unique_ptr<FakePhonebook> m_book;
    TBLSet m_settings;
    std::unique_ptr<TBL_pb> m_store;
};

QImage contactsPage()
{
    Phonebook book;
    TFrmContacts contacts(book.host, book.source());
    contacts.resize(760, 440);
    contacts.SimStateChanged(12);
    contacts.SelectNode(PB_NODE_PC);
    contacts.LvContacts->topLevelItem(1)->setCheckState(0, Qt::Checked);
    contacts.LvContacts->topLevelItem(3)->setCheckState(0, Qt::Checked);
    return grabShown(contacts);
}

QImage editor()
{
    Phonebook book;
    TFmEditPB edit(book.host, book.source());
    edit.resize(380, 330);
    edit.NewContact(nullptr, PB_SIM, PB_NODE_SIM, true);
    edit.EdName->setText(QStringLiteral("Dentist [Dr. Weber]"));
    edit.EdPhoneNumber->setText(QStringLiteral("+4930987654"));
    return grabShown(edit);
}

QImage picker()
{
    Phonebook book;
    TFrmSel select(book.host, book.source());
    select.FillFromLocation();
    for (int row : {0, 3})
        select.LvLeft->topLevelItem(row)->setCheckState(0, Qt::Checked);
    select.MoveRight();
    return grabShown(select);
}

QImage viewer()
{
    Phonebook book;
    TFrmContacts contacts(book.host, book.source());
    contacts.SelectNode(PB_NODE_PC);
    TFrmViewPB view(book.host, book.source());
    view.resize(360, 300);
    view.ViewContact(*contacts.list()->rows().front().record);
    return grabShown(view);
}

// Copies 60 PC contacts into a group and grabs the progress window once it passed 40 %: the
// progress window lets window events run between two contacts, so a timer fires mid-run.
QImage copyInProgress()
{
    Phonebook book;
    book.addMany(60);
    TFrmCopyTips tips(book.host);
    book.host.peers.addWidget(tips);
    TFrmContacts contacts(book.host, book.source());
    contacts.SelectNode(PB_NODE_PC);
    contacts.SetAllChecked(true);
    contacts.CopyChecked(TFrmContacts::CopyMode);
    QImage shot;
    std::function<void()> watch = [&] {
        if (tips.isVisible() && tips.PBCopy->value() >= 40 && shot.isNull()) {
            shot = tips.grab().toImage();
            return;
        }
        if (shot.isNull())
            QTimer::singleShot(0, watch);
    };
    QTimer::singleShot(0, watch);
    contacts.Paste();
    return shot;
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("contacts"),
                    QStringLiteral("the contacts page: PC groups, the SIM, checked rows"),
                    contactsPage}),
    SceneRegistrar({QStringLiteral("contact-edit"),
                    QStringLiteral("new SIM contact: one number, no group, no e-mail"), editor}),
    SceneRegistrar({QStringLiteral("contact-select"),
                    QStringLiteral("recipient picker with two chosen"), picker}),
    SceneRegistrar(
        {QStringLiteral("contact-view"), QStringLiteral("one contact, read-only"), viewer}),
    SceneRegistrar({QStringLiteral("contacts-copying"),
                    QStringLiteral("copy of 60 contacts in progress, with Stop"), copyInProgress}),
};

}  // namespace

}  // namespace screens
