#pragma once
// A small two-page form that exercises every kind of control the runtime builds.
#include <functional>

#include "runtime/window_form.h"

struct TestFormHandlers {
    std::function<void()> onListDoubleClicked;
    std::function<void()> onButtonClicked;
};

inline WindowForm MakeTestForm(const TestFormHandlers& handlers = {}) {
    using namespace ControlFlag;
    WindowForm form;
    form.name = "测试窗口";
    form.title = "运行库测试";
    form.width = 400;
    form.height = 300;
    form.tab = {"选择夹", 1, 1, 390, 270, {"第一页", "第二页"}, {}};

    ControlForm list{"列表一", ControlKind::ListView, 0, 2, 30, 180, 200, "", Visible | TabStop | GridLines};
    list.columns = {{"名称", 100}, {"链接", 1}};
    list.event = ControlEvent::DoubleClicked;
    list.handler = handlers.onListDoubleClicked;

    ControlForm button{"按钮", ControlKind::PushButton, 0, 190, 30, 60, 25, "搜索", Visible | TabStop};
    button.event = ControlEvent::Clicked;
    button.handler = handlers.onButtonClicked;

    ControlForm edit{"单行框", ControlKind::Edit, 0, 190, 60, 150, 25, "", Visible | TabStop};
    ControlForm label{"标签", ControlKind::Label, 0, 190, 100, 150, 40, "初始文字", Visible};
    ControlForm hidden{"隐藏标签", ControlKind::Label, 0, 190, 150, 150, 20, "", 0};

    ControlForm list2{"列表二", ControlKind::ListView, 1, 2, 30, 180, 200, "", Visible | TabStop | ClickableHeader};
    list2.columns = {{"目录", 150}, {"链接", 0}};
    ControlForm text{"多行框", ControlKind::Edit, 1, 190, 30, 180, 200, "",
                     Visible | TabStop | MultiLine | ReadOnly | VerticalScroll};
    text.font = {16, 400, 134 /* GB2312_CHARSET */};

    form.controls = {list, button, edit, label, hidden, list2, text};
    return form;
}
