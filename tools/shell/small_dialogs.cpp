#include "tools/shell/small_dialogs.h"

namespace kelvora {
namespace {

DialogTemplate HomePageTemplate()
{
    DialogTemplate t;
    t.caption = "ホームページへ";
    // Wider than its nominal 315 units: the notice is one line of 36 full-width characters.
    t.size = {DuX(345), DuY(99)};
    t.controls = {
        {-1, ControlKind::Label,
         "言語聴覚士の国家試験（音響・音声・聴覚）のための\n"
         "書籍・過去問解説・他のフリーソフト等は下記のホームページをご覧ください。",
         Du(14, 10, 320, 24)},
        {HomePageDialog::Address, ControlKind::SunkenLabel, "", Du(14, 40, 320, 14), 0, true},
        // Both buttons only close the dialog; they stand side by side rather than one on the other.
        {IdOk, ControlKind::DefaultButton, "OK", Du(116, 72, 50, 16)},
        {IdCancel, ControlKind::PushButton, "キャンセル", Du(176, 72, 50, 16)},
    };
    return t;
}

DialogTemplate FxxTemplate()
{
    DialogTemplate t;
    t.caption = "Dialog";
    t.size = {DuX(309), DuY(176)};
    t.controls = {
        {IdOk, ControlKind::DefaultButton, "OK", Du(252, 7, 50, 14)},
        {IdCancel, ControlKind::PushButton, "キャンセル", Du(252, 24, 50, 14)},
        {FxxDialog::Increase, ControlKind::PushButton, "Button1", Du(252, 60, 50, 14)},
        {FxxDialog::Decrease, ControlKind::PushButton, "Button2", Du(252, 78, 50, 14)},
    };
    return t;
}

} // namespace

HomePageDialog::HomePageDialog(platform::UrlOpener& urls, std::string url)
    : DialogModel(HomePageTemplate()), urls_(urls), url_(std::move(url))
{
}

void HomePageDialog::init()
{
    setText(Address, url_);
}

void HomePageDialog::command(int id)
{
    if (id == IdOk || id == IdCancel)
        endDialog(1);
    else if (id == Address)
        urls_.openUrl(text(Address));
}

FxxDialog::FxxDialog(FxxCounter& counter) : DialogModel(FxxTemplate()), counter_(counter) {}

void FxxDialog::command(int id)
{
    if (id == Increase)
        ++counter_.value;
    else if (id == Decrease && counter_.value > 1)
        --counter_.value;
    else if (id == IdCancel)
        endDialog(-1);
    // OK has no handler: the dialog stays open until cancelled or closed.
}

} // namespace kelvora
