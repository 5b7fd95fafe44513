// The simulated PC/SC service: the part of winscard.dll that the program
// uses, answering from the active scenario. Every call reads the scenario
// afresh; only context and card handles (with a card's selected file)
// live between calls.
#define WINSCARDAPI
#define WINSCARDDATA
#include <windows.h>
#include <winscard.h>

#include "ActiveScenario.h"
#include "CardSession.h"
#include "HandleTable.h"

#include <algorithm>
#include <cstring>
#include <string>

extern "C" {
const SCARD_IO_REQUEST g_rgSCardT0Pci = {SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardT1Pci = {SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardRawPci = {SCARD_PROTOCOL_RAW, sizeof(SCARD_IO_REQUEST)};
}

namespace {

struct ContextState {
    bool cancelled = false;  // SCardCancel came while a wait was running
};

struct CardConnection {
    SCARDCONTEXT context;
    std::string reader;
    DWORD protocol;
    CardSession session;
};

HandleTable<ContextState> g_contexts(0x5C000001);
HandleTable<CardConnection> g_cards(0x5CA00001);

// How often a status-change wait looks at the scenario again.
const DWORD kStatusPollMs = 50;

const DWORD kStateMask = SCARD_STATE_EMPTY | SCARD_STATE_PRESENT | SCARD_STATE_EXCLUSIVE | SCARD_STATE_INUSE;
// The pseudo reader whose state changes when a reader is attached or
// detached; the high word of its event state counts the readers.
const char kPnpReader[] = "\\\\?PnP?\\Notification";

bool IsValidContext(SCARDCONTEXT context)
{
    return g_contexts.Visit(context, [](ContextState&) {});
}

// Takes a pending cancellation of the context; false for an unknown one too.
bool TakeCancellation(SCARDCONTEXT context)
{
    bool cancelled = false;
    g_contexts.Visit(context, [&](ContextState& state) {
        cancelled = state.cancelled;
        state.cancelled = false;
    });
    return cancelled;
}

// The scenario as it is now; a stopped service and a missing or broken
// scenario both look like a service that cannot be reached.
LONG LoadRunningScenario(Scenario* scenario)
{
    if (!LoadActiveScenario(scenario) || !scenario->serviceRunning)
        return SCARD_E_NO_SERVICE;
    return SCARD_S_SUCCESS;
}

std::string ReaderMultiString(const Scenario& scenario)
{
    std::string list;
    for (const SimReader& reader : scenario.readers)
        list += reader.name + '\0';
    return list + '\0';
}

DWORD CardProtocolFlag(const SimCard& card)
{
    return card.protocol == CardProtocol::T1 ? SCARD_PROTOCOL_T1 : SCARD_PROTOCOL_T0;
}

DWORD ReaderState(const SimReader& reader)
{
    if (!reader.card)
        return SCARD_STATE_EMPTY;
    return SCARD_STATE_PRESENT | (reader.card->exclusive ? SCARD_STATE_EXCLUSIVE | SCARD_STATE_INUSE : 0);
}

// Fills the event state and ATR of every entry; reports whether any
// reader's state differs from what the caller believed.
LONG ReadStates(const Scenario& scenario, SCARD_READERSTATEA* states, DWORD count, bool* changed)
{
    *changed = false;
    for (DWORD i = 0; i < count; ++i) {
        SCARD_READERSTATEA& state = states[i];
        if (state.szReader && strcmp(state.szReader, kPnpReader) == 0) {
            const DWORD readers = static_cast<DWORD>(scenario.readers.size());
            const bool differs = HIWORD(state.dwCurrentState) != readers;
            state.dwEventState = readers << 16 | (differs ? SCARD_STATE_CHANGED : 0);
            state.cbAtr = 0;
            *changed = *changed || differs;
            continue;
        }
        const SimReader* reader = state.szReader ? scenario.FindReader(state.szReader) : nullptr;
        if (!reader)
            return SCARD_E_UNKNOWN_READER;
        if (reader->atrQueryFails)
            return SCARD_E_READER_UNAVAILABLE;
        const DWORD now = ReaderState(*reader);
        const bool differs = (state.dwCurrentState & kStateMask) != now;
        state.dwEventState = now | (differs ? SCARD_STATE_CHANGED : 0);
        const Bytes noAtr;
        const Bytes& atr = reader->card ? reader->card->atr : noAtr;
        std::copy(atr.begin(), atr.end(), state.rgbAtr);
        state.cbAtr = static_cast<DWORD>(atr.size());
        *changed = *changed || differs;
    }
    return SCARD_S_SUCCESS;
}

// The card a connection talks to, as the scenario describes it now.
LONG ConnectedCard(const Scenario& scenario, const CardConnection& connection, const SimCard** card)
{
    const SimReader* reader = scenario.FindReader(connection.reader);
    if (!reader || !reader->card || CardProtocolFlag(*reader->card) != connection.protocol)
        return SCARD_W_REMOVED_CARD;
    *card = &*reader->card;
    return SCARD_S_SUCCESS;
}

// Waits while the card in `readerName` is held busy for `call` by another
// program; what the scenario then says is in *scenario.
LONG WaitWhileBusy(const char* readerName, CardBusy call, Scenario* scenario)
{
    for (;;) {
        const LONG status = LoadRunningScenario(scenario);
        if (status != SCARD_S_SUCCESS)
            return status;
        const SimReader* reader = scenario->FindReader(readerName);
        if (!reader || !reader->card || reader->card->busy != call)
            return SCARD_S_SUCCESS;
        Sleep(kStatusPollMs);
    }
}

}  // namespace

LONG WINAPI SCardEstablishContext(DWORD scope, LPCVOID, LPCVOID, LPSCARDCONTEXT context)
{
    if (!context)
        return SCARD_E_INVALID_PARAMETER;
    if (scope != SCARD_SCOPE_USER && scope != SCARD_SCOPE_SYSTEM)
        return SCARD_E_INVALID_VALUE;
    Scenario scenario;
    const LONG status = LoadRunningScenario(&scenario);
    if (status != SCARD_S_SUCCESS)
        return status;
    *context = g_contexts.Add(ContextState());
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardReleaseContext(SCARDCONTEXT context)
{
    if (!g_contexts.Remove(context))
        return SCARD_E_INVALID_HANDLE;
    g_cards.RemoveIf([context](const CardConnection& card) { return card.context == context; });
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardIsValidContext(SCARDCONTEXT context)
{
    return IsValidContext(context) ? SCARD_S_SUCCESS : SCARD_E_INVALID_HANDLE;
}

// Reader groups are not simulated: every reader is in every group.
LONG WINAPI SCardListReadersA(SCARDCONTEXT context, LPCSTR, LPSTR readers, LPDWORD length)
{
    if (!IsValidContext(context))
        return SCARD_E_INVALID_HANDLE;
    // Letting the service allocate the list is not simulated; without this
    // check the pointer variable would be taken for a buffer of 4 GiB.
    if (!length || *length == SCARD_AUTOALLOCATE)
        return SCARD_E_INVALID_PARAMETER;
    Scenario scenario;
    const LONG status = LoadRunningScenario(&scenario);
    if (status != SCARD_S_SUCCESS)
        return status;
    if (scenario.readers.empty())
        return SCARD_E_NO_READERS_AVAILABLE;
    const std::string list = ReaderMultiString(scenario);
    const DWORD needed = static_cast<DWORD>(list.size());
    if (readers && *length < needed) {
        *length = needed;
        return SCARD_E_INSUFFICIENT_BUFFER;
    }
    if (readers)
        std::memcpy(readers, list.data(), needed);
    *length = needed;
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardGetStatusChangeA(SCARDCONTEXT context, DWORD timeout, LPSCARD_READERSTATEA states, DWORD count)
{
    if (!IsValidContext(context))
        return SCARD_E_INVALID_HANDLE;
    if (!states && count > 0)
        return SCARD_E_INVALID_PARAMETER;
    const DWORD start = GetTickCount();
    TakeCancellation(context);  // only a wait that is running is cancelled
    for (;;) {
        Scenario scenario;
        LONG status = LoadRunningScenario(&scenario);
        // A service that stops under a context ends the waits on it.
        if (status == SCARD_E_NO_SERVICE)
            return SCARD_E_SERVICE_STOPPED;
        bool changed = false;
        status = ReadStates(scenario, states, count, &changed);
        if (status != SCARD_S_SUCCESS || changed || count == 0)
            return status;
        if (TakeCancellation(context))
            return SCARD_E_CANCELLED;
        const DWORD waited = GetTickCount() - start;
        if (timeout != INFINITE && waited >= timeout)
            return SCARD_E_TIMEOUT;
        Sleep(timeout == INFINITE ? kStatusPollMs : std::min(kStatusPollMs, timeout - waited));
    }
}

LONG WINAPI SCardConnectA(SCARDCONTEXT context, LPCSTR readerName, DWORD shareMode, DWORD preferredProtocols,
                          LPSCARDHANDLE card, LPDWORD activeProtocol)
{
    if (!IsValidContext(context))
        return SCARD_E_INVALID_HANDLE;
    if (!readerName || !card || !activeProtocol)
        return SCARD_E_INVALID_PARAMETER;
    // Direct connections to a reader without a card are not simulated.
    if (shareMode != SCARD_SHARE_SHARED && shareMode != SCARD_SHARE_EXCLUSIVE)
        return SCARD_E_INVALID_VALUE;
    Scenario scenario;
    const LONG status = WaitWhileBusy(readerName, CardBusy::Connect, &scenario);
    if (status != SCARD_S_SUCCESS)
        return status;
    const SimReader* reader = scenario.FindReader(readerName);
    if (!reader)
        return SCARD_E_UNKNOWN_READER;
    if (!reader->card)
        return SCARD_E_NO_SMARTCARD;
    if (reader->card->exclusive)
        return SCARD_E_SHARING_VIOLATION;
    const DWORD protocol = CardProtocolFlag(*reader->card);
    if (!(preferredProtocols & protocol))
        return SCARD_E_PROTO_MISMATCH;
    *card = g_cards.Add(CardConnection{context, reader->name, protocol, CardSession()});
    *activeProtocol = protocol;
    return SCARD_S_SUCCESS;
}

LONG WINAPI SCardTransmit(SCARDHANDLE card, LPCSCARD_IO_REQUEST sendPci, LPCBYTE command, DWORD commandLength,
                          LPSCARD_IO_REQUEST, LPBYTE response, LPDWORD responseLength)
{
    if (!sendPci || !command || !response || !responseLength)
        return SCARD_E_INVALID_PARAMETER;
    std::string reader;
    if (!g_cards.Visit(card, [&](CardConnection& connection) { reader = connection.reader; }))
        return SCARD_E_INVALID_HANDLE;
    Scenario scenario;
    LONG status = WaitWhileBusy(reader.c_str(), CardBusy::Transmit, &scenario);
    const bool known = g_cards.Visit(card, [&](CardConnection& connection) {
        const SimCard* simCard = nullptr;
        if (status == SCARD_S_SUCCESS)
            status = ConnectedCard(scenario, connection, &simCard);
        if (status != SCARD_S_SUCCESS)
            return;
        // The header must name the protocol the card runs.
        if (sendPci->dwProtocol != connection.protocol) {
            status = SCARD_E_PROTO_MISMATCH;
            return;
        }
        const Bytes answer = connection.session.Transmit(*simCard, command, commandLength);
        const DWORD needed = static_cast<DWORD>(answer.size());
        if (*responseLength < needed) {
            status = SCARD_E_INSUFFICIENT_BUFFER;
        } else {
            std::memcpy(response, answer.data(), needed);
        }
        *responseLength = needed;
    });
    return known ? status : SCARD_E_INVALID_HANDLE;
}

LONG WINAPI SCardCancel(SCARDCONTEXT context)
{
    return g_contexts.Visit(context, [](ContextState& state) { state.cancelled = true; }) ? SCARD_S_SUCCESS
                                                                                          : SCARD_E_INVALID_HANDLE;
}

LONG WINAPI SCardDisconnect(SCARDHANDLE card, DWORD disposition)
{
    if (disposition > SCARD_EJECT_CARD)
        return SCARD_E_INVALID_VALUE;
    return g_cards.Remove(card) ? SCARD_S_SUCCESS : SCARD_E_INVALID_HANDLE;
}
