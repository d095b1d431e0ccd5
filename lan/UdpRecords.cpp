#include "lan/UdpRecords.h"

#include "platform/Stream.h"

#include <cstring>

size_t UdpRecordSize(EUdpRecord eKind) {
    switch (eKind) {
    case EUdpRecord::PeerState:
    case EUdpRecord::HostState: return UDP_STATE_SIZE;
    case EUdpRecord::Command: return UDP_COMMAND_SIZE;
    case EUdpRecord::Scene: return UDP_SCENE_SIZE;
    }
    return 0;
}

LONG UdpRecordWord(const BYTE* pRecord, size_t nOffset) {
    CByteReader reader(pRecord + nOffset, 4, "datagram");
    std::int32_t nValue = 0;
    reader.ReadI32(&nValue);
    return nValue;
}

void SetUdpRecordWord(BYTE* pRecord, size_t nOffset, LONG nValue) {
    CByteWriter writer;
    writer.WriteI32(nValue);
    std::memcpy(pRecord + nOffset, writer.Bytes().data(), 4);
}

std::string UdpCommandName(const BYTE* pRecord) {
    const BYTE* pName = pRecord + UDP_COMMAND_NAME;
    size_t nLen = 0;
    while (nLen < UDP_COMMAND_NAME_SIZE && pName[nLen] != 0) ++nLen;
    return std::string(reinterpret_cast<const char*>(pName), nLen);
}

UdpReceipt ParseUdpRecord(EUdpRecord eKind, const BYTE* pBytes, long nLength, DWORD dwSource, BYTE* pRecord) {
    size_t nSize = UdpRecordSize(eKind);
    std::memset(pRecord, 0, nSize);
    UdpReceipt receipt;
    if (nLength < 0 || size_t(nLength) > nSize || (nLength > 0 && pBytes == nullptr)) {
        receipt.bRecvError = true;
        return receipt;
    }
    CByteReader reader(pBytes, size_t(nLength), "datagram");
    reader.ReadBytes(pRecord, size_t(nLength));
    if (eKind == EUdpRecord::Command) std::memcpy(pRecord + UDP_COMMAND_SOURCE, &dwSource, 4);
    receipt.nResult = 1;
    if (eKind == EUdpRecord::HostState && UdpRecordWord(pRecord, 0) != 0) {
        LONG nSlot = UdpRecordWord(pRecord, 8);
        // A slot outside the table names no peer: nothing is stored.
        if (nSlot >= 0 && nSlot < UDP_SLOTS)
            receipt.nSlot = int(nSlot);
        else
            receipt.nResult = 0;
    }
    return receipt;
}
