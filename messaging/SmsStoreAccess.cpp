#include "SmsStoreAccess.h"

#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "logic/SmsTransfer.h"
#include "logic/EngineValues.h"

#include "lumacore.h"

namespace {

// Without the business logic (before start-up or after stop) every store call fails with
// BL_ROOT_NOT_CREATED.
class ProgramSmsStore final : public SmsStoreAccess {
public:
    uint16_t InitSettings() override { return _MEC_InitSmsSet(); }

    uint16_t Load(uint8_t storage) override
    {
        return store() ? SmsLoadMessages(storage) : BL_ROOT_NOT_CREATED;
    }

    int Count(uint8_t folder, uint8_t storage) const override
    {
        return store() ? SmsGetMessageCount(folder, storage) : 0;
    }

    int Capacity(uint8_t storage) const override
    {
        if (!BusinessLogic())
            return 0;
        FieldLimits limits{};
        SetGetFieldLimits(storage, CODING_8BIT, &limits);
        return limits.values[FIELD_LIMIT_SMS_CAPACITY];
    }

    std::vector<SmsItem> Walk(uint8_t folder, uint8_t storage) override
    {
        std::vector<SmsItem> items;
        if (!store())
            return items;
        SmsItem item{};
        item.folder = folder;
        item.storage = storage;
        for (uint16_t status = SmsGetFirstMessage(&item); status == 0;
             status = SmsGetNextMessage(&item)) {
            items.push_back(item);
        }
        return items;
    }

    uint16_t MarkRead(const SmsItem &item) override
    {
        return store() ? SmsSetMessageStatus(item, true) : BL_ROOT_NOT_CREATED;
    }

    uint16_t Delete(const SmsItem &item) override
    {
        return store() ? SmsDeleteMessage(item) : BL_ROOT_NOT_CREATED;
    }

    uint16_t Move(const SmsItem &item, uint8_t target) override
    {
        return store() ? SmsTransfer::Move(*store(), item, target) : BL_ROOT_NOT_CREATED;
    }

private:
    static TBL_sms *store() { return BusinessLogic() ? BusinessLogic()->sms.get() : nullptr; }
};

}  // namespace

std::unique_ptr<SmsStoreAccess> MakeProgramSmsStore()
{
    return std::make_unique<ProgramSmsStore>();
}
