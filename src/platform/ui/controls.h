// Everything a dialog needs: the form base and every kind of control.
#pragma once

#include "platform/ui/check_box.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/command_button.h"
#include "platform/ui/common_controls.h"
#include "platform/ui/control.h"
#include "platform/ui/date_picker.h"
#include "platform/ui/event_boundary.h"
#include "platform/ui/form.h"
#include "platform/ui/frame.h"
#include "platform/ui/label.h"
#include "platform/ui/list_box.h"
#include "platform/ui/list_view.h"
#include "platform/ui/option_button.h"
#include "platform/ui/service.h"
#include "platform/ui/text_box.h"
