#pragma once

// The wizard's main window built from stock Qt widgets, the peer of the skinned window: the
// five pages with the same pictures, fields, buttons and check boxes at the same places, the
// bottom bar, the notice page shown. Five kinds of control, as in the wizard: labels (the
// pictures and texts), push buttons, a line edit, a progress bar and check boxes. The
// pictures come from APicture, so each side may decode them its own way.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QWidget>
#include <functional>
#include <memory>

namespace velmora {

inline std::unique_ptr<QWidget>
MakeStockWizardWindow(const std::function<QImage(const QString&)>& APicture) {
    const auto picture = [&APicture](QWidget* parent, const QString& name, const QRect& bounds) {
        auto* label = new QLabel(parent);
        label->setGeometry(bounds);
        label->setScaledContents(true);
        label->setPixmap(QPixmap::fromImage(APicture(name)));
        return label;
    };
    auto form = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    form->resize(562, 371);
    form->setWindowTitle(QStringLiteral("Velmora V3.0 安装"));
    auto* title = new QLabel(QStringLiteral("Velmora V3.0 安装"), form.get());
    title->setGeometry(8, 4, 300, 20);
    auto* pages = new QStackedWidget(form.get());
    pages->setGeometry(3, 28, 556, 310);
    auto* notice = new QWidget;
    picture(notice, QStringLiteral("imgAnnounce"), QRect(20, 10, 516, 232));
    (new QPushButton(QStringLiteral("下一步"), notice))->setGeometry(218, 254, 120, 36);
    pages->addWidget(notice);
    auto* options = new QWidget;
    picture(options, QStringLiteral("imgOption"), QRect(20, 10, 516, 200));
    (new QPushButton(QStringLiteral("快速安装"), options))->setGeometry(194, 226, 168, 44);
    pages->addWidget(options);
    auto* path = new QWidget;
    picture(path, QStringLiteral("imgPathInfo"), QRect(20, 10, 516, 124));
    picture(path, QStringLiteral("imgPathFrame"), QRect(40, 152, 384, 32));
    (new QLineEdit(QStringLiteral("/opt/Norvane"), path))->setGeometry(52, 157, 362, 22);
    (new QPushButton(QStringLiteral("浏览"), path))->setGeometry(432, 152, 84, 32);
    (new QPushButton(QStringLiteral("安装"), path))->setGeometry(218, 226, 120, 36);
    pages->addWidget(path);
    auto* installing = new QWidget;
    picture(installing, QStringLiteral("imgInstalling"), QRect(20, 10, 516, 180));
    (new QLabel(QStringLiteral("正在卸载已安装版本..."), installing))
        ->setGeometry(40, 206, 476, 20);
    auto* bar = new QProgressBar(installing);
    bar->setGeometry(40, 234, 476, 14);
    bar->setTextVisible(false);
    pages->addWidget(installing);
    auto* finished = new QWidget;
    picture(finished, QStringLiteral("imgFinished"), QRect(20, 10, 516, 150));
    (new QLabel(QStringLiteral("安装完成"), finished))->setGeometry(44, 168, 472, 30);
    (new QCheckBox(QStringLiteral("立即运行"), finished))->setGeometry(44, 214, 200, 20);
    (new QCheckBox(QStringLiteral("访问Velmo网站"), finished))->setGeometry(44, 242, 200, 20);
    (new QPushButton(QStringLiteral("完成"), finished))->setGeometry(396, 230, 120, 36);
    pages->addWidget(finished);
    pages->setCurrentIndex(0);
    picture(form.get(), QStringLiteral("imgBar"), QRect(3, 338, 556, 30));
    return form;
}

} // namespace velmora
