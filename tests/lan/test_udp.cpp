// The UDP peer and host on loopback: each side against plain sockets that play the other
// side, then both sides together. Ports are bound as 0 and read back, so parallel runs
// never collide; the clock is virtual, so polling costs no real time.
#include "lan/UdpHost.h"
#include "lan/UdpPeer.h"
#include "platform/Clock.h"
#include "shell/MainFrame.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace {

class CFakeResolver : public IHostResolver {
public:
    std::string strOwnName = "thisbox";
    bool bHasOwnName = true;
    std::map<std::string, std::uint32_t> names{{"hostbox", LoopbackAddress()}};
    std::map<std::uint32_t, std::string> reverse{{LoopbackAddress(), "loopbox"}};
    int nLookups = 0;

    bool LocalName(std::string* pName) override {
        if (bHasOwnName) *pName = strOwnName;
        return bHasOwnName;
    }
    std::uint32_t Lookup(const char* pszName) override {
        ++nLookups;
        auto it = names.find(pszName != nullptr ? pszName : "");
        return it == names.end() ? 0 : it->second;
    }
    bool ReverseLookup(std::uint32_t dwAddress, std::string* pName) override {
        auto it = reverse.find(dwAddress);
        if (it == reverse.end()) return false;
        *pName = it->second;
        return true;
    }
};

// A plain loopback socket bound to a free port, for playing the other side.
struct CProbe {
    CUdpSocket socket;
    std::uint16_t nPort = 0;
    CProbe() {
        EXPECT_TRUE(socket.Open());
        EXPECT_TRUE(socket.Bind(0));
        EXPECT_TRUE(socket.SetNonBlocking());
        nPort = socket.LocalPort();
    }
    void Send(std::uint16_t nTo, const std::vector<BYTE>& bytes) {
        ASSERT_EQ(socket.SendTo(LoopbackAddress(), nTo, bytes.data(), bytes.size()), long(bytes.size()));
    }
    // Waits up to two real seconds for a datagram; its bytes, or nothing.
    bool Receive(std::vector<BYTE>* pBytes) {
        for (int i = 0; i < 200; ++i) {
            if (socket.Readable() == 1) {
                pBytes->assign(4096, 0);
                long n = socket.RecvFrom(pBytes->data(), pBytes->size(), nullptr);
                if (n < 0) return false;
                pBytes->resize(size_t(n));
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    bool Quiet() {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return socket.Readable() == 0;
    }
};

// A port that was free a moment ago (bound as 0, read back, released).
std::uint16_t FreePort() {
    CUdpSocket socket;
    socket.Open();
    socket.Bind(0);
    return socket.LocalPort();
}

template <class T>
bool WaitReadable(T& side) {
    for (int i = 0; i < 200; ++i) {
        if (side.Poll() == 1) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::vector<BYTE> Record(size_t nSize, std::vector<std::pair<size_t, LONG>> words) {
    std::vector<BYTE> bytes(nSize, 0);
    for (auto [nOffset, nValue] : words) SetUdpRecordWord(bytes.data(), nOffset, nValue);
    return bytes;
}

class UdpTest : public ::testing::Test {
protected:
    void SetUp() override { UseVirtualClock(true, 1000, 20); }
    void TearDown() override { UseVirtualClock(false); }
    CFakeResolver resolver;
    std::vector<std::string> log;
    CUdpLink::LogSink Capture() {
        return [this](const char* psz) { log.push_back(psz); };
    }
};

}  // namespace

TEST(UdpRecords, ParserCopiesOnlyWhatArrivedAndRefusesMore) {
    std::vector<BYTE> record(UDP_SCENE_SIZE, 0xEE);
    std::vector<BYTE> ten(10, 0x11);
    UdpReceipt r = ParseUdpRecord(EUdpRecord::PeerState, ten.data(), 10, 0, record.data());
    EXPECT_EQ(r.nResult, 1);
    for (size_t i = 0; i < UDP_STATE_SIZE; ++i) ASSERT_EQ(record[i], i < 10 ? 0x11 : 0) << i;

    std::vector<BYTE> big(200, 0x22);
    r = ParseUdpRecord(EUdpRecord::Command, big.data(), 200, 0, record.data());
    EXPECT_EQ(r.nResult, 0);
    EXPECT_TRUE(r.bRecvError);
    r = ParseUdpRecord(EUdpRecord::Scene, nullptr, -1, 0, record.data());
    EXPECT_TRUE(r.bRecvError);

    // Command: the source overwrites offset 72 whatever the sender put there.
    std::vector<BYTE> command(UDP_COMMAND_SIZE, 0x33);
    r = ParseUdpRecord(EUdpRecord::Command, command.data(), long(command.size()), 0x0100007F, record.data());
    EXPECT_EQ(r.nResult, 1);
    EXPECT_EQ(UdpRecordWord(record.data(), UDP_COMMAND_SOURCE), 0x0100007F);
    // A name without its zero ends at the field's end, never in the source word.
    EXPECT_EQ(UdpCommandName(record.data()), std::string(64, '\x33'));

    // Host state: word 0 asks for registration in word 2's slot, 0..7 only.
    auto hostState = [&](LONG nWord0, LONG nWord2) {
        std::vector<BYTE> bytes = Record(UDP_STATE_SIZE, {{0, nWord0}, {8, nWord2}});
        return ParseUdpRecord(EUdpRecord::HostState, bytes.data(), long(bytes.size()), 0, record.data());
    };
    r = hostState(0, 3);
    EXPECT_EQ(r.nResult, 1);
    EXPECT_EQ(r.nSlot, -1);
    r = hostState(1, 3);
    EXPECT_EQ(r.nResult, 1);
    EXPECT_EQ(r.nSlot, 3);
    for (LONG nBad : {8, 9, -1, 0x7FFFFFFF}) {
        r = hostState(1, nBad);
        EXPECT_EQ(r.nResult, 0) << nBad;
        EXPECT_EQ(r.nSlot, -1) << nBad;
    }
}

TEST_F(UdpTest, PeerCreateCasesAndHostlessSendsNothing) {
    CProbe probe;
    {
        CUdpPeer peer(0, probe.nPort, &resolver);
        EXPECT_EQ(peer.ReceiveState(), 0);  // no listen socket yet
        EXPECT_EQ(peer.ReceiveScene(), 0);
        EXPECT_EQ(peer.ReceiveData(), 0);
        EXPECT_EQ(peer.Create(nullptr), 1);
        EXPECT_NE(peer.ListenPort(), 0);
        EXPECT_EQ(peer.HostAddress(), 0u);
        EXPECT_EQ(peer.Create(nullptr), 0);  // once only
        EXPECT_EQ(peer.SendState(), 0);
        EXPECT_EQ(peer.SendCommand(), 0);
        BYTE data[4] = {1, 2, 3, 4};
        EXPECT_EQ(peer.SendData(data, 4), 0);
    }
    EXPECT_TRUE(probe.Quiet());  // not even a goodbye

    CUdpPeer own(0, probe.nPort, &resolver);
    EXPECT_EQ(own.Create("thisbox"), 0);
    EXPECT_EQ(own.HostAddress(), 0u);
    EXPECT_EQ(resolver.nLookups, 0);

    CUdpPeer unknown(0, probe.nPort, &resolver);
    EXPECT_EQ(unknown.Create("nobox"), 0);
    EXPECT_EQ(unknown.HostAddress(), 0u);
}

TEST_F(UdpTest, PeerSendsToHostAndSaysGoodbye) {
    CProbe host;
    resolver.strOwnName = std::string(100, 'n');  // longer than the wire's name field
    {
        CUdpPeer peer(0, host.nPort, &resolver);
        ASSERT_EQ(peer.Create("hostbox"), 1);
        EXPECT_EQ(peer.HostAddress(), LoopbackAddress());
        SetUdpRecordWord(peer.State(), 0, 7);
        SetUdpRecordWord(peer.State(), UDP_STATE_POINT, 123);
        SetUdpRecordWord(peer.State(), UDP_STATE_POINT + 4, -45);
        EXPECT_EQ(peer.SendState(), 1);
        std::vector<BYTE> got;
        ASSERT_TRUE(host.Receive(&got));
        ASSERT_EQ(got.size(), UDP_STATE_SIZE);
        EXPECT_EQ(UdpRecordWord(got.data(), 0), 7);
        EXPECT_EQ(UdpRecordWord(got.data(), 92), -45);

        EXPECT_EQ(peer.SendCommand(), 1);
        ASSERT_TRUE(host.Receive(&got));
        ASSERT_EQ(got.size(), UDP_COMMAND_SIZE);
        EXPECT_EQ(UdpCommandName(got.data()), std::string(63, 'n'));
        EXPECT_EQ(got[71], 0);

        std::vector<BYTE> data(300, 0x5A);
        EXPECT_EQ(peer.SendData(data.data(), 300), 1);
        ASSERT_TRUE(host.Receive(&got));
        EXPECT_EQ(got, data);
        EXPECT_EQ(peer.Command()[79], 0x5A);  // the start of the data went into the command record
        std::vector<BYTE> tooLong(UDP_DATA_MAX + 1, 1);
        EXPECT_EQ(peer.SendData(tooLong.data(), int(tooLong.size())), 0);
        EXPECT_EQ(peer.SendData(data.data(), -1), 0);
        EXPECT_TRUE(host.Quiet());
        EXPECT_EQ(peer.SetFlag(0x100), 0);
        EXPECT_EQ(peer.Flag(), 0);
        EXPECT_EQ(peer.SetFlag(2), 1);
        EXPECT_EQ(peer.Flag(), 1);
    }
    std::vector<BYTE> goodbye;
    ASSERT_TRUE(host.Receive(&goodbye));
    ASSERT_EQ(goodbye.size(), UDP_STATE_SIZE);
    EXPECT_EQ(UdpRecordWord(goodbye.data(), 8), 1);
    EXPECT_EQ(UdpRecordWord(goodbye.data(), 0), 7);  // the rest goes unchanged
    EXPECT_TRUE(host.Quiet());
}

TEST_F(UdpTest, PeerReceivesRecordsWithZeroTailsAndRefusesOversize) {
    CProbe host;
    CUdpPeer peer(0, host.nPort, &resolver);
    peer.SetLogSink(Capture());
    ASSERT_EQ(peer.Create("hostbox"), 1);
    host.Send(peer.ListenPort(), std::vector<BYTE>(10, 0x44));
    ASSERT_TRUE(WaitReadable(peer));
    std::memset(peer.State(), 0x99, UDP_STATE_SIZE);
    EXPECT_EQ(peer.ReceiveState(), 1);
    for (size_t i = 0; i < UDP_STATE_SIZE; ++i) ASSERT_EQ(peer.State()[i], i < 10 ? 0x44 : 0) << i;

    host.Send(peer.ListenPort(), std::vector<BYTE>(UDP_SCENE_SIZE + 1, 0x45));
    ASSERT_TRUE(WaitReadable(peer));
    EXPECT_EQ(peer.ReceiveScene(), 0);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Recv Error!!!");

    host.Send(peer.ListenPort(), {});
    ASSERT_TRUE(WaitReadable(peer));
    EXPECT_EQ(peer.ReceiveData(), 0);
    EXPECT_EQ(peer.Link().LastLength(), 0u);
    ASSERT_EQ(peer.Link().LastData().size(), 1u);
    EXPECT_EQ(peer.Link().LastData()[0], 0);

    host.Send(peer.ListenPort(), {9, 8, 7});
    ASSERT_TRUE(WaitReadable(peer));
    EXPECT_EQ(peer.ReceiveData(), 1);
    EXPECT_EQ(peer.Link().LastLength(), 3u);
    EXPECT_EQ(peer.Link().LastData(), (std::vector<BYTE>{9, 8, 7, 0}));
    EXPECT_EQ(peer.Link().LastSource(), LoopbackAddress());
    EXPECT_EQ(peer.Poll(), 0);
}

TEST_F(UdpTest, HostRegistersSlotsAndBroadcasts) {
    CProbe peer;
    CUdpHost host(0, peer.nPort, &resolver);
    host.SetLogSink(Capture());
    EXPECT_EQ(host.ReceiveState(), 0);
    EXPECT_EQ(host.ReceiveCommand(), 0);
    EXPECT_EQ(host.SendScene(LoopbackAddress()), 0);
    ASSERT_EQ(host.Create(), 1);
    EXPECT_EQ(host.Create(), 0);
    EXPECT_EQ(host.OwnName(), "thisbox");
    EXPECT_EQ(host.Broadcast(), 1);  // nobody registered: nothing sent
    EXPECT_TRUE(peer.Quiet());

    auto sendState = [&](LONG nWord0, LONG nWord2) {
        peer.Send(host.ListenPort(), Record(UDP_STATE_SIZE, {{0, nWord0}, {8, nWord2}}));
        EXPECT_TRUE(WaitReadable(host));
        return host.ReceiveState();
    };
    EXPECT_EQ(sendState(0, 3), 1);
    for (int i = 0; i < UDP_SLOTS; ++i) EXPECT_EQ(host.PeerAddress(i), 0u);
    EXPECT_EQ(sendState(1, 9), 0);
    EXPECT_EQ(sendState(1, -1), 0);
    for (int i = 0; i < UDP_SLOTS; ++i) EXPECT_EQ(host.PeerAddress(i), 0u);
    EXPECT_EQ(sendState(1, 3), 1);
    EXPECT_EQ(host.PeerAddress(3), NetToHost32(LoopbackAddress()));
    EXPECT_EQ(host.PeerName(3), "loopbox");

    SetUdpRecordWord(host.State(), UDP_STATE_POINT, 77);
    EXPECT_EQ(host.Broadcast(), 1);
    std::vector<BYTE> got;
    ASSERT_TRUE(peer.Receive(&got));
    ASSERT_EQ(got.size(), UDP_STATE_SIZE);
    EXPECT_EQ(UdpRecordWord(got.data(), UDP_STATE_POINT), 77);

    // Registering again without a name frees the old one; the address stays.
    resolver.reverse.clear();
    EXPECT_EQ(sendState(1, 3), 0);
    EXPECT_EQ(host.PeerAddress(3), NetToHost32(LoopbackAddress()));
    EXPECT_EQ(host.PeerName(3), "");
    EXPECT_EQ(log.back(), "Hostbyaddr Error !!!");
    EXPECT_EQ(host.AddPeer(8, LoopbackAddress()), 0);
    EXPECT_EQ(host.AddPeer(-1, LoopbackAddress()), 0);
}

TEST_F(UdpTest, HostCommandsScenesAndData) {
    CProbe peer;
    CUdpHost host(0, peer.nPort, &resolver);
    host.SetLogSink(Capture());
    ASSERT_EQ(host.Create(), 1);
    peer.Send(host.ListenPort(), std::vector<BYTE>(UDP_COMMAND_SIZE, 0xAB));
    ASSERT_TRUE(WaitReadable(host));
    EXPECT_EQ(host.ReceiveCommand(), 1);
    EXPECT_EQ(UdpRecordWord(host.Command(), UDP_COMMAND_SOURCE), LONG(LoopbackAddress()));
    EXPECT_EQ(host.Command()[71], 0xAB);

    peer.Send(host.ListenPort(), std::vector<BYTE>(200, 0xAB));
    ASSERT_TRUE(WaitReadable(host));
    EXPECT_EQ(host.ReceiveCommand(), 0);
    EXPECT_EQ(log.back(), "Recv Error!!!");
    EXPECT_EQ(host.Command()[0], 0);

    std::memset(host.Scene(), 0x5C, UDP_SCENE_SIZE);
    EXPECT_EQ(host.SendScene(LoopbackAddress()), 1);
    std::vector<BYTE> got;
    ASSERT_TRUE(peer.Receive(&got));
    EXPECT_EQ(got, std::vector<BYTE>(UDP_SCENE_SIZE, 0x5C));

    BYTE data[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(host.SendData(0, data, 5), 0);
    EXPECT_EQ(host.SendData(LoopbackAddress(), data, int(UDP_DATA_MAX) + 1), 0);
    EXPECT_TRUE(peer.Quiet());
    EXPECT_EQ(host.SendData(LoopbackAddress(), data, 5), 1);
    ASSERT_TRUE(peer.Receive(&got));
    EXPECT_EQ(got, std::vector<BYTE>(data, data + 5));

    std::vector<BYTE> big(UDP_DATA_MAX + 10, 1);
    peer.Send(host.ListenPort(), big);
    ASSERT_TRUE(WaitReadable(host));
    EXPECT_EQ(host.ReceiveData(), 0);
    EXPECT_EQ(host.Link().LastLength(), 0u);
}

TEST_F(UdpTest, PeerAndHostTogetherAndPortsFreeAfterwards) {
    std::uint16_t nHostPort = FreePort();
    std::uint16_t nPeerPort = 0;
    {
        auto pPeer = std::make_unique<CUdpPeer>(0, nHostPort, &resolver);
        ASSERT_EQ(pPeer->Create("hostbox"), 1);
        nPeerPort = pPeer->ListenPort();
        CUdpHost host(nHostPort, nPeerPort, &resolver);
        ASSERT_EQ(host.Create(), 1);

        SetUdpRecordWord(pPeer->State(), 0, 1);
        SetUdpRecordWord(pPeer->State(), 8, 5);
        SetUdpRecordWord(pPeer->State(), UDP_STATE_POINT + 4, 640);
        ASSERT_EQ(pPeer->SendState(), 1);
        ASSERT_TRUE(WaitReadable(host));
        EXPECT_EQ(host.ReceiveState(), 1);
        EXPECT_EQ(UdpRecordWord(host.State(), UDP_STATE_POINT + 4), 640);
        EXPECT_NE(host.PeerAddress(5), 0u);

        SetUdpRecordWord(host.State(), UDP_STATE_POINT, -3);
        ASSERT_EQ(host.Broadcast(), 1);
        ASSERT_TRUE(WaitReadable(*pPeer));
        EXPECT_EQ(pPeer->ReceiveState(), 1);
        EXPECT_EQ(UdpRecordWord(pPeer->State(), UDP_STATE_POINT), -3);

        // The goodbye is an ordinary state record: word 2 = 1 registers slot 1, nothing empties.
        SetUdpRecordWord(pPeer->State(), 0, 1);
        pPeer.reset();
        ASSERT_TRUE(WaitReadable(host));
        EXPECT_EQ(host.ReceiveState(), 1);
        EXPECT_NE(host.PeerAddress(1), 0u);
        EXPECT_NE(host.PeerAddress(5), 0u);
    }
    // Both ports bind again once their owners are gone.
    CUdpHost again(nHostPort, nPeerPort, &resolver);
    EXPECT_EQ(again.Create(), 1);
    CUdpPeer peerAgain(nPeerPort, nHostPort, &resolver);
    EXPECT_EQ(peerAgain.Create(nullptr), 1);

    // A taken port fails the create with its text and leaves no socket open.
    CUdpHost clash(nHostPort, nPeerPort, &resolver);
    clash.SetLogSink(Capture());
    EXPECT_EQ(clash.Create(), 0);
    EXPECT_FALSE(clash.Link().IsOpen());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Listen bind Error!!!");
}

// The main window's two sides start empty and go with the window, the peer first: its
// goodbye reaches the host before the host closes.
TEST_F(UdpTest, TheMainWindowDeletesItsPeerBeforeItsHost) {
    struct CWatchingHost : CUdpHost {
        using CUdpHost::CUdpHost;
        bool* pbGoodbye = nullptr;
        ~CWatchingHost() override { *pbGoodbye = WaitReadable(*this) && ReceiveState() == 1; }
    };
    auto pWindow = std::make_unique<CMainFrame>();
    EXPECT_EQ(pWindow->pUdpPeer, nullptr);
    EXPECT_EQ(pWindow->pUdpHost, nullptr);
    bool bGoodbye = false;
    auto* pHost = new CWatchingHost(0, FreePort(), &resolver);
    pHost->pbGoodbye = &bGoodbye;
    ASSERT_EQ(pHost->Create(), 1);
    pWindow->pUdpHost = pHost;
    pWindow->pUdpPeer = new CUdpPeer(0, pHost->ListenPort(), &resolver);
    ASSERT_EQ(pWindow->pUdpPeer->Create("hostbox"), 1);
    pWindow.reset();
    EXPECT_TRUE(bGoodbye);
}

TEST_F(UdpTest, PollWaitsTenMillisecondsOfGameTime) {
    CUdpHost host(0, 1, &resolver);
    ASSERT_EQ(host.Create(), 1);
    DWORD dwBefore = TimeGetTime();
    EXPECT_EQ(host.Poll(), 0);
    EXPECT_GE(TimeGetTime() - dwBefore, 10u);
    resolver.bHasOwnName = false;
    CUdpHost nameless(0, 1, &resolver);
    nameless.SetLogSink(Capture());
    EXPECT_EQ(nameless.Create(), 0);
    EXPECT_EQ(log.back(), "Get local name Error!!!");
}
