// Every received record kind through the one record parser: no read or write outside the
// record, a refused datagram leaves the record cleared, and a slot is only ever 0..7.
#include "lan/UdpRecords.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    if (nSize < 5) return 0;
    DWORD dwSource = 0;
    std::memcpy(&dwSource, pData, 4);
    EUdpRecord eKind = EUdpRecord(pData[4] % 4);
    // An exact-size copy, so a read past the datagram shows up under the sanitizer.
    std::vector<BYTE> datagram(pData + 5, pData + nSize);
    std::vector<BYTE> record(UdpRecordSize(eKind), 0xCD);
    UdpReceipt receipt = ParseUdpRecord(eKind, datagram.data(), long(datagram.size()), dwSource, record.data());
    if (receipt.nSlot < -1 || receipt.nSlot >= UDP_SLOTS) std::abort();
    if (receipt.nSlot >= 0 && eKind != EUdpRecord::HostState) std::abort();
    if (receipt.nResult == 0 && receipt.bRecvError) {
        for (BYTE b : record)
            if (b != 0) std::abort();
    }
    if (receipt.nResult == 1 && datagram.size() < record.size()) {
        for (size_t i = datagram.size(); i < record.size(); ++i) {
            bool bSource = eKind == EUdpRecord::Command && i >= UDP_COMMAND_SOURCE && i < UDP_COMMAND_SOURCE + 4;
            if (!bSource && record[i] != 0) std::abort();
        }
    }
    if (eKind == EUdpRecord::Command && receipt.nResult == 1) {
        if (UdpCommandName(record.data()).size() > UDP_COMMAND_NAME_SIZE) std::abort();
    }
    return 0;
}
