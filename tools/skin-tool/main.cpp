// skin-tool: builds skins from manifests, dumps them back, and reads single values.
#include "tools/skin-tool/SkinToolCommands.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    return velmora::RunSkinTool(QCoreApplication::arguments().mid(1), out, err);
}
