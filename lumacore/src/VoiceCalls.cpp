#include "VoiceCalls.h"

#include "Engine.h"
#include "SimText.h"
#include "Status.h"

#include <algorithm>

namespace lumacore {

namespace {

// The dial result (message 3032) of a call the far end did not take: its V.250 result code,
// so the program can tell the person; 0 for a call that simply failed.
constexpr uint32_t kDialConnected = 1;
constexpr uint32_t kDialBusy = 7;
constexpr uint32_t kDialNoAnswer = 8;

bool ringing(int status) { return status == 4 || status == 5; }

bool lostCard(uint16_t status) { return status == kStatusNoCard || status == kStatusTimeout; }

}  // namespace

VoiceCalls::VoiceCalls(Engine &engine) : m_engine(engine) {}

VoiceCalls::Call *VoiceCalls::ringingCall()
{
    for (Call &call : m_calls) {
        if (call.incoming && !call.connected && ringing(call.status))
            return &call;
    }
    return nullptr;
}

VoiceCalls::Call *VoiceCalls::settingUpCall()
{
    for (Call &call : m_calls) {
        if (!call.incoming && !call.connected && !call.foreign)
            return &call;
    }
    return nullptr;
}

int VoiceCalls::freeIndex() const
{
    for (int index = 1; index < 10; ++index) {
        if (std::none_of(m_calls.begin(), m_calls.end(),
                         [&](const Call &call) { return call.index == index; }))
            return index;
    }
    return -1;
}

void VoiceCalls::deliver(News news)
{
    if (news.empty())
        return;
    auto hand = [this, news = std::move(news)] {
        for (const auto &post : news.posts)
            m_engine.postToSink(post.message, post.wParam, post.lParam);
        for (const auto &caller : news.callers)
            if (auto callback = callbacks().callComing.load())
                callback(utf8ToSystem(caller).c_str());
    };
    if (m_engine.events().isCurrent())
        hand();
    else
        m_engine.events().post(std::move(hand));
}

VoiceCalls::ListRead VoiceCalls::readList()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_listRefused)
            return {kStatusNotSupported, {}};
    }
    AtResponse response = m_engine.run("AT+CLCC");
    ListRead read;
    read.status = response.status;
    if (!response.ok()) {
        if (!lostCard(response.status)) {
            std::lock_guard lock(m_mutex);
            m_listRefused = true;
        }
        return read;
    }
    for (const auto &line : response.lines) {
        // Data and fax calls are not the program's.
        if (auto entry = parseClccLine(line); entry && (entry->mode == 0 || entry->mode == 9))
            read.entries.push_back(*entry);
    }
    return read;
}

uint16_t VoiceCalls::refresh(News &news)
{
    std::lock_guard refreshing(m_refreshMutex);
    ListRead read = readList();
    if (read.status != kStatusOk)
        return read.status;
    std::lock_guard lock(m_mutex);
    takeList(read.entries, news);
    announceRinging(news);
    return kStatusOk;
}

void VoiceCalls::takeList(const std::vector<ClccEntry> &entries, News &news)
{
    std::vector<bool> seen(m_calls.size(), false);
    for (const ClccEntry &entry : entries) {
        auto known = std::find_if(m_calls.begin(), m_calls.end(),
                                  [&](const Call &call) { return call.index == entry.index; });
        if (known == m_calls.end()) {
            // A call the list names for the first time: the one dialled or heard ringing.
            known = std::find_if(m_calls.begin(), m_calls.end(), [&](const Call &call) {
                return call.index < 0 && call.incoming == (entry.direction == 1) &&
                       (call.number.empty() || entry.number.empty() ||
                        call.number == entry.number);
            });
        }
        if (known == m_calls.end()) {
            Call call;
            call.incoming = entry.direction == 1;
            call.status = entry.status;
            // Calls another client of the card set up, or answered, are its own business.
            call.foreign = !call.incoming || !ringing(entry.status);
            call.connected = entry.status <= 1;
            call.lastRing = std::chrono::steady_clock::now();
            m_calls.push_back(call);
            seen.push_back(false);
            known = m_calls.end() - 1;
        }
        seen[static_cast<size_t>(known - m_calls.begin())] = true;
        Call &call = *known;
        call.index = entry.index;
        call.status = entry.status;
        call.multiparty = entry.multiparty;
        call.listed = true;
        if (call.number.empty())
            call.number = entry.number;
        if (entry.status <= 1 && !call.connected) {
            call.connected = true;
            if (!call.ours && !call.foreign) {
                if (!call.incoming)
                    news.posts.push_back({MEC_MSG_CALL_DIAL_RESULT, kDialConnected, 0});
                else if (!call.accepted)
                    news.posts.push_back(
                        {MEC_MSG_CALL_INCOMING_CONNECTED, static_cast<uint32_t>(call.index), 0});
            }
        }
    }
    std::vector<Call> kept;
    for (size_t i = 0; i < m_calls.size(); ++i) {
        const Call &call = m_calls[i];
        // A ringing call the list never named is not ended by its absence: some cards list a
        // ringing call only once it is answered. Other calls are listed from the start.
        if (seen[i] || (!call.listed && call.incoming && !call.connected))
            kept.push_back(call);
        else
            ended(call, End::Gone, news);
    }
    m_calls = std::move(kept);
}

void VoiceCalls::ended(const Call &call, End how, News &news)
{
    if (call.ours || call.foreign)
        return;
    const auto index = static_cast<uint32_t>(std::max(call.index, 0));
    if (!call.incoming && !call.connected) {
        uint32_t result = how == End::Busy ? kDialBusy : how == End::NoAnswer ? kDialNoAnswer : 0;
        news.posts.push_back({MEC_MSG_CALL_DIAL_RESULT, result, 0});
    } else if (call.incoming && !call.connected) {
        news.posts.push_back({MEC_MSG_CALL_INCOMING_MISSED, index, 0});
    } else {
        news.posts.push_back(
            {MEC_MSG_CALL_REMOTE_RELEASED, index, static_cast<uint32_t>(call.status)});
    }
}

void VoiceCalls::announceRinging(News &news)
{
    Call *call = ringingCall();
    if (!call || call->ours || call->foreign)
        return;
    // Once, and again when the number comes after the ring.
    if (call->announced && (call->number.empty() || call->number == call->announcedNumber))
        return;
    call->announced = true;
    call->announcedNumber = call->number;
    news.callers.push_back(call->number);
}

void VoiceCalls::checkRingSilence(News &news)
{
    const auto now = std::chrono::steady_clock::now();
    const auto silence = m_engine.timings().ringSilence;
    std::vector<Call> kept;
    for (const Call &call : m_calls) {
        // Only a call the list never named: for the others the list tells.
        if (call.incoming && !call.connected && !call.listed && now - call.lastRing > silence)
            ended(call, End::Gone, news);
        else
            kept.push_back(call);
    }
    m_calls = std::move(kept);
}

VoiceCalls::Call &VoiceCalls::addRinging(int status)
{
    Call call;
    call.incoming = true;
    call.status = status;
    call.lastRing = std::chrono::steady_clock::now();
    if (m_listRefused)
        call.index = freeIndex();  // numbered as the card does, for +CHLD=1x
    m_calls.push_back(call);
    return m_calls.back();
}

bool VoiceCalls::handleReport(const AtUnsolicited &code)
{
    const std::string &line = code.line;
    News news;
    const auto now = std::chrono::steady_clock::now();
    if (isVoiceRing(line) || parseClipLine(line)) {
        const auto caller = parseClipLine(line);
        bool verify = false;
        {
            std::lock_guard lock(m_mutex);
            Call *call = ringingCall();
            if (call) {
                call->lastRing = now;
            } else {
                // Beside a call in progress a ring may be a late one of the call just answered;
                // the list tells whether another call rings.
                verify = !m_listRefused &&
                         std::any_of(m_calls.begin(), m_calls.end(),
                                     [](const Call &other) { return other.connected; });
                if (!verify)
                    call = &addRinging(m_calls.empty() ? 4 : 5);
            }
            if (call && caller && call->number.empty())
                call->number = caller->number;
            // The list may name the caller before any +CLIP comes.
            verify = verify || (call && call->number.empty() && !caller && !call->listed);
        }
        if (verify)
            refresh(news);
        std::lock_guard lock(m_mutex);
        if (Call *call = ringingCall(); call && caller && call->number.empty())
            call->number = caller->number;
        announceRinging(news);
    } else if (auto waiting = parseCcwaLine(line)) {
        std::lock_guard lock(m_mutex);
        Call *call = ringingCall();
        if (!call)
            call = &addRinging(5);
        if (call->number.empty())
            call->number = waiting->number;
        announceRinging(news);
    } else if (auto final = parseFinalResult(line);
               final && (final->kind == FinalKind::NoCarrier || final->kind == FinalKind::Busy ||
                         final->kind == FinalKind::NoAnswer)) {
        bool askList = false;
        {
            std::lock_guard lock(m_mutex);
            if (m_calls.empty())
                return true;
            Call *target = nullptr;
            if (final->kind != FinalKind::NoCarrier)
                target = settingUpCall();
            else if (m_calls.size() == 1)
                target = &m_calls.front();
            if (target) {
                End how = final->kind == FinalKind::Busy       ? End::Busy
                          : final->kind == FinalKind::NoAnswer ? End::NoAnswer
                                                               : End::Gone;
                ended(*target, how, news);
                m_calls.erase(m_calls.begin() + (target - m_calls.data()));
            } else {
                askList = true;  // which of the calls ended, the list tells
            }
        }
        if (askList)
            refresh(news);
    } else {
        return false;
    }
    deliver(std::move(news));
    return true;
}

void VoiceCalls::watchTick()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_calls.empty())
            return;
    }
    if (m_pollQueued.exchange(true))
        return;
    m_engine.events().post([this] { poll(); });
}

void VoiceCalls::poll()
{
    m_pollQueued = false;
    News news;
    refresh(news);
    {
        std::lock_guard lock(m_mutex);
        checkRingSilence(news);
    }
    deliver(std::move(news));
}

void VoiceCalls::cardLost()
{
    News news;
    {
        std::lock_guard lock(m_mutex);
        bool news_ = std::any_of(m_calls.begin(), m_calls.end(),
                                 [](const Call &call) { return !call.ours && !call.foreign; });
        m_calls.clear();
        if (news_)
            news.posts.push_back({MEC_MSG_CALL_ALL_ENDED, 0, 0});
    }
    deliver(std::move(news));
}

uint16_t VoiceCalls::dial(const char *number, uint8_t *result)
{
    if (result)
        *result = 0;
    if (!number)
        return kStatusError;
    std::string digits(number);
    if (digits.empty() || digits.size() > 40)
        return kStatusError;
    for (size_t i = 0; i < digits.size(); ++i) {
        const char c = digits[i];
        if (!((c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0)))
            return kStatusError;
    }
    AtResponse response = m_engine.run("ATD" + digits + ";");
    if (!response.ok())
        return response.status;
    {
        std::lock_guard lock(m_mutex);
        Call call;
        call.number = digits;
        call.status = 2;
        if (m_listRefused)
            call.index = freeIndex();
        m_calls.push_back(call);
    }
    if (result)
        *result = 1;
    // Some cards answer the dial only once the far end took the call: the list tells.
    News news;
    refresh(news);
    deliver(std::move(news));
    return kStatusOk;
}

AtResponse VoiceCalls::releaseAll()
{
    bool chupRefused = false;
    {
        std::lock_guard lock(m_mutex);
        chupRefused = m_chupRefused;
    }
    AtResponse response = m_engine.run(chupRefused ? "ATH" : "AT+CHUP");
    if (!response.ok() && !chupRefused && !lostCard(response.status)) {
        {
            std::lock_guard lock(m_mutex);
            m_chupRefused = true;
        }
        response = m_engine.run("ATH");
    }
    return response;
}

uint16_t VoiceCalls::abortDial()
{
    int index = -1;
    bool others = false;
    {
        std::lock_guard lock(m_mutex);
        Call *call = settingUpCall();
        if (!call)
            return kStatusOk;  // it ended already: nothing is left to stop
        call->ours = true;
        index = call->index;
        others = m_calls.size() > 1;
    }
    if (others && index < 0) {
        News news;
        refresh(news);  // learns the dialled call's index
        deliver(std::move(news));
        std::lock_guard lock(m_mutex);
        if (Call *call = settingUpCall())
            index = call->index;
    }
    // The other calls stay: only the dialled one is released where there are others.
    AtResponse response = others && index > 0
                              ? m_engine.run("AT+CHLD=1" + std::to_string(index))
                              : releaseAll();
    std::lock_guard lock(m_mutex);
    auto dialled = std::find_if(m_calls.begin(), m_calls.end(), [](const Call &call) {
        return !call.incoming && !call.connected && call.ours;
    });
    if (!response.ok()) {
        if (dialled != m_calls.end())
            dialled->ours = false;
        return response.status;
    }
    if (others && index > 0) {
        if (dialled != m_calls.end())
            m_calls.erase(dialled);
    } else {
        m_calls.clear();
    }
    return kStatusOk;
}

uint16_t VoiceCalls::answer(uint8_t *result)
{
    if (!result)
        return kStatusError;
    *result = 0;
    bool others = false;
    {
        std::lock_guard lock(m_mutex);
        Call *call = ringingCall();
        if (!call)
            return kStatusOk;  // the caller gave up meanwhile
        call->accepted = true;
        others = m_calls.size() > 1;
    }
    // A waiting call is taken by holding the call in progress; a lone ringing one by A.
    AtResponse response = m_engine.run(others ? "AT+CHLD=2" : "ATA");
    std::lock_guard lock(m_mutex);
    Call *call = ringingCall();
    if (response.ok()) {
        *result = 1;
        for (Call &other : m_calls) {
            if (other.status == 0)
                other.status = 1;
        }
        if (call) {
            call->status = 0;
            call->connected = true;
        }
        return kStatusOk;
    }
    if (response.final.kind == FinalKind::NoCarrier) {
        // The caller hung up just before: the call is gone.
        if (call)
            m_calls.erase(m_calls.begin() + (call - m_calls.data()));
        return kStatusOk;
    }
    if (call)
        call->accepted = false;
    if (lostCard(response.status))
        return response.status;
    *result = 2;  // the card refused
    return kStatusOk;
}

uint16_t VoiceCalls::hangUp()
{
    {
        std::lock_guard lock(m_mutex);
        for (Call &call : m_calls)
            call.ours = true;
    }
    AtResponse response = releaseAll();
    if (!response.ok()) {
        std::lock_guard lock(m_mutex);
        for (Call &call : m_calls)
            call.ours = false;
        return response.status;
    }
    // Some cards leave a held or waiting call standing: each is released on its own.
    ListRead left = readList();
    for (const ClccEntry &entry : left.entries) {
        AtResponse release = m_engine.run("AT+CHLD=1" + std::to_string(entry.index));
        if (lostCard(release.status))
            break;
    }
    std::lock_guard lock(m_mutex);
    m_calls.clear();
    return kStatusOk;
}

uint16_t VoiceCalls::hold(uint32_t value)
{
    const bool plain = value <= 3;
    const bool withCall = (value / 10 == 1 || value / 10 == 2) && value % 10 != 0;
    if (!plain && !withCall)
        return kStatusError;
    // What the command will end or answer is marked first, so the change is no news.
    std::vector<size_t> marked;
    {
        std::lock_guard lock(m_mutex);
        Call *waiting = ringingCall();
        for (size_t i = 0; i < m_calls.size(); ++i) {
            Call &call = m_calls[i];
            bool ends = false;
            if (value == 0)
                ends = waiting ? &call == waiting : call.status == 1;
            else if (value == 1)
                ends = call.status == 0;
            else if (value / 10 == 1)
                ends = call.index == static_cast<int>(value % 10);
            if (ends && !call.ours) {
                call.ours = true;
                marked.push_back(i);
            }
        }
        if (waiting && (value == 1 || value == 2))
            waiting->accepted = true;
    }
    AtResponse response = m_engine.run("AT+CHLD=" + std::to_string(value));
    if (!response.ok()) {
        std::lock_guard lock(m_mutex);
        for (size_t i : marked) {
            if (i < m_calls.size())
                m_calls[i].ours = false;
        }
        if (Call *waiting = ringingCall())
            waiting->accepted = false;
        return response.status;
    }
    News news;
    if (refresh(news) != kStatusOk) {
        // Without a list: the calls the command ended are gone.
        std::lock_guard lock(m_mutex);
        m_calls.erase(std::remove_if(m_calls.begin(), m_calls.end(),
                                     [](const Call &call) { return call.ours; }),
                      m_calls.end());
    }
    deliver(std::move(news));
    return kStatusOk;
}

uint16_t VoiceCalls::list(_MEC_CLCC_LIST *out)
{
    if (!out)
        return kStatusError;
    *out = _MEC_CLCC_LIST{};
    std::vector<ClccEntry> entries;
    News news;
    uint16_t status = kStatusOk;
    {
        std::lock_guard refreshing(m_refreshMutex);
        ListRead read = readList();
        status = read.status;
        if (status == kStatusOk) {
            std::lock_guard lock(m_mutex);
            takeList(read.entries, news);
            announceRinging(news);
            entries = std::move(read.entries);
        }
    }
    deliver(std::move(news));
    if (lostCard(status))
        return status;
    if (status != kStatusOk) {
        // A card without a list: the calls as the engine knows them.
        std::lock_guard lock(m_mutex);
        for (const Call &call : m_calls) {
            ClccEntry entry;
            entry.index = call.index;
            entry.direction = call.incoming ? 1 : 0;
            entry.status = call.status;
            entry.multiparty = call.multiparty;
            entry.number = call.number;
            entries.push_back(entry);
        }
    }
    for (const ClccEntry &entry : entries) {
        if (out->count >= MEC_CLCC_MAX_CALLS)
            break;
        _MEC_CLCC_ENTRY &slot = out->calls[out->count++];
        slot.callIndex = entry.index;
        slot.direction = static_cast<uint32_t>(entry.direction);
        slot.status = static_cast<uint32_t>(entry.status);
        slot.mode = static_cast<uint32_t>(entry.mode);
        slot.multiparty = entry.multiparty ? 1 : 0;
        const size_t length = std::min(entry.number.size(), sizeof slot.number - 1);
        std::copy_n(entry.number.begin(), length, slot.number);
        slot.numberType = entry.type < 0 ? 0 : static_cast<uint32_t>(entry.type);
    }
    return kStatusOk;
}

uint16_t VoiceCalls::sendTone(char tone)
{
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(tone)));
    const bool valid =
        (upper >= '0' && upper <= '9') || upper == '*' || upper == '#' || (upper >= 'A' && upper <= 'D');
    if (!valid)
        return kStatusError;
    bool quoted = false;
    {
        std::lock_guard lock(m_mutex);
        quoted = m_quotedTones;
    }
    auto command = [&](bool inQuotes) {
        return inQuotes ? std::string("AT+VTS=\"") + upper + "\"" : std::string("AT+VTS=") + upper;
    };
    AtResponse response = m_engine.run(command(quoted));
    if (!response.ok() && !quoted && !lostCard(response.status)) {
        AtResponse again = m_engine.run(command(true));
        if (again.ok()) {
            std::lock_guard lock(m_mutex);
            m_quotedTones = true;
        }
        return again.status;
    }
    return response.status;
}

}  // namespace lumacore
