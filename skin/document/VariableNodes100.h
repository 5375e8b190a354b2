#pragma once

#include "skin/document/BinTreeNode100.h"

#include <QByteArray>

namespace velmora {

// A kind that owns a separately allocated value buffer of any length; empty means DataSize 0.
class TBufferNode100 : public TBinTreeNode100 {
public:
    void ClearData() override;
    void ReadBuffer(void* ADest) const override;
    void WriteBuffer(const void* ASource, std::int64_t ACount) override;
    const QByteArray& Bytes() const noexcept { return FData; }

protected:
    TBufferNode100(TBinTreeNode100* AParentNode, const QString& ANodeName, TNodeType100 AType)
        : TBinTreeNode100(AParentNode, ANodeName, AType, 0) {}
    void Assign(QByteArray AData);

private:
    QByteArray FData;
};

// 8-bit text with one NUL. On this platform the 8-bit code page is UTF-8.
class TAnsiStringNode100 final : public TBufferNode100 {
public:
    TAnsiStringNode100(TBinTreeNode100* AParentNode, const QString& ANodeName)
        : TBufferNode100(AParentNode, ANodeName, nt100_AnsiString) {}
    QString Data() const;
    void SetData(const QString& AValue);
};

// UTF-16LE text with one NUL code unit.
class TWideStringNode100 final : public TBufferNode100 {
public:
    TWideStringNode100(TBinTreeNode100* AParentNode, const QString& ANodeName)
        : TBufferNode100(AParentNode, ANodeName, nt100_WideString) {}
    QString Data() const;
    void SetData(const QString& AValue);
};

} // namespace velmora
