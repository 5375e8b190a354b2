#pragma once

// Crafts payload images record by record, including ones no packer would write, so the
// reader's checks can be driven one at a time.
#include "installer/PayloadTable.h"
#include "installer/PayloadWriter.h"

#include <QBuffer>
#include <QtEndian>
#include <vector>

namespace velmora::test {

class TImageBuilder {
public:
    // Adds an entry laid out as the packer would (name and data appended at the end).
    TImageBuilder& Add(const QByteArray& gbkName, const QByteArray& data) {
        FEntries.push_back({gbkName, data, -1, -1});
        return *this;
    }
    // Adds an entry whose data is another entry's (index), as a shared offset.
    TImageBuilder& AddSharing(const QByteArray& gbkName, int dataOf) {
        FEntries.push_back({gbkName, {}, dataOf, -1});
        return *this;
    }
    // Overrides raw record fields of entry i after layout.
    TImageBuilder& Patch(int entry, int fieldOffset, quint32 value) {
        FPatches.push_back({entry, fieldOffset, value});
        return *this;
    }
    TImageBuilder& Count(quint16 count) {
        FCount = count;
        return *this;
    }

    QByteArray Image() const {
        const qsizetype n = static_cast<qsizetype>(FEntries.size());
        QByteArray names, data;
        std::vector<quint32> nameOffsets, dataOffsets, sizes;
        const qsizetype tableEnd = 2 + kPayloadRecordSize * n;
        for (const auto& e : FEntries) {
            nameOffsets.push_back(static_cast<quint32>(tableEnd + names.size()));
            names += e.Name;
        }
        for (const auto& e : FEntries) {
            if (e.DataOf >= 0) {
                dataOffsets.push_back(dataOffsets[static_cast<size_t>(e.DataOf)]);
                sizes.push_back(sizes[static_cast<size_t>(e.DataOf)]);
                continue;
            }
            dataOffsets.push_back(static_cast<quint32>(tableEnd + names.size() + data.size()));
            sizes.push_back(static_cast<quint32>(e.Data.size()));
            data += e.Data;
        }
        QByteArray image(tableEnd, '\0');
        qToLittleEndian<quint16>(FCount >= 0 ? quint16(FCount) : quint16(n), image.data());
        for (qsizetype i = 0; i < n; ++i) {
            char* r = image.data() + 2 + kPayloadRecordSize * i;
            const auto k = static_cast<size_t>(i);
            qToLittleEndian<quint16>(static_cast<quint16>(FEntries[k].Name.size()), r);
            qToLittleEndian<quint32>(nameOffsets[k], r + 2);
            qToLittleEndian<quint32>(sizes[k], r + 6);
            qToLittleEndian<quint32>(dataOffsets[k], r + 10);
        }
        for (const auto& p : FPatches) {
            char* r = image.data() + 2 + kPayloadRecordSize * p.Entry + p.Field;
            if (p.Field == 0)
                qToLittleEndian<quint16>(static_cast<quint16>(p.Value), r);
            else
                qToLittleEndian<quint32>(p.Value, r);
        }
        return image + names + data;
    }
    QByteArray Archive() const { return CompressPayload(Image()); }

    static constexpr int kNameLength = 0, kNameOffset = 2, kDataSize = 6, kDataOffset = 10;

private:
    struct TEntry {
        QByteArray Name;
        QByteArray Data;
        int DataOf;
        int Unused;
    };
    struct TPatch {
        int Entry;
        int Field;
        quint32 Value;
    };
    std::vector<TEntry> FEntries;
    std::vector<TPatch> FPatches;
    int FCount = -1;
};

} // namespace velmora::test
