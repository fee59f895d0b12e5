// The selector strip on the main window: no device, which entry is selected as devices come and
// go, previous and next, and the icon sets.
#include "controller_fixture.h"

namespace brimvex::app::test {
namespace {

class SelectorTest : public ControllerFixture {};

TEST_F(SelectorTest, NoDeviceShowsTheHintWithBothContainersOnPageZero) {
  Start();
  // The default mouse and keyboard pages exist, their entries hidden.
  ASSERT_EQ(selector().Count(), 2);
  EXPECT_EQ(selector().CountVisible(), 0);
  EXPECT_EQ(DeviceOfRow(kMouseRow)->DeviceType(), devices::kDeviceMouse);
  EXPECT_EQ(DeviceOfRow(kKeyboardRow)->DeviceType(), devices::kDeviceKeyboard);
  EXPECT_TRUE(HintShown());
  EXPECT_EQ(Tab("device_switch")->CurrentSel(), 0);
  EXPECT_EQ(Tab("device_power_switch")->CurrentSel(), 0);
  EXPECT_TRUE(wnd_->Slots().HoldsThread(kSlotDiscovery));
  // Slot messages past the list and 0x0D03 for a row without an entry change nothing.
  traces_.Clear();
  EXPECT_TRUE(wnd_->HandleMessage(kMsgSlotFound, SlotTable::size(), 0));
  EXPECT_TRUE(wnd_->HandleMessage(kMsgSlotLost, 99, 0));
  EXPECT_TRUE(wnd_->HandleMessage(kMsgShowEntry, 7, 1));
  EXPECT_EQ(selector().Count(), 2);
  EXPECT_EQ(selector().CountVisible(), 0);
  EXPECT_FALSE(traces_.Contains("添加"));
  // A device that comes and goes leaves the same picture.
  auto& pad = Add(Product::kMousePad);
  pad.Plug(Link::kCable);
  ASSERT_TRUE(WaitForTrace("添加一个鼠标垫设备", 2));
  EXPECT_FALSE(HintShown());
  EXPECT_NE(Tab("device_switch")->CurrentSel(), 0);
  pad.Unplug(Link::kCable);
  ASSERT_TRUE(WaitForTrace("删除一个鼠标垫设备", 2));
  EXPECT_EQ(selector().CountVisible(), 0);
  EXPECT_TRUE(HintShown());
  EXPECT_EQ(Tab("device_switch")->CurrentSel(), 0);
  EXPECT_EQ(Tab("device_power_switch")->CurrentSel(), 0);
}

TEST_F(SelectorTest, FirstConnectedIsSelectedAndTheStripStepsBetweenVisibleEntries) {
  auto& mouse = Add(Product::kMouse);
  auto& keyboard = Add(Product::kKeyboard);
  auto& headset = Add(Product::kHeadset);
  mouse.Plug(Link::kCable);
  Start();
  ASSERT_TRUE(WaitFor([&] { return EntryOfRow(kMouseRow)->IsEntryVisible(); }));
  CDeviceOptionUI* m = EntryOfRow(kMouseRow);
  CDeviceOptionUI* k = EntryOfRow(kKeyboardRow);
  EXPECT_TRUE(m->IsSelected());
  EXPECT_EQ(Tab("device_switch")->CurrentSel(), m->PageIndex());
  EXPECT_EQ(Tab("device_power_switch")->CurrentSel(), m->PowerTabIndex());
  keyboard.Plug(Link::kCable);
  ASSERT_TRUE(WaitFor([&] { return k->IsEntryVisible(); }));
  EXPECT_FALSE(k->IsSelected());
  EXPECT_TRUE(m->IsSelected());
  headset.Plug(Link::kCable);
  ASSERT_TRUE(WaitFor([&] { return selector().CountVisible() == 3; }));
  CDeviceOptionUI* h = selector().Entry(2);
  EXPECT_EQ(h->Type(), 7);
  EXPECT_EQ(h->NormalImage(), "common/device_ico/hd_device_normal.png");
  EXPECT_TRUE(m->IsSelected());

  // Next and previous walk the visible entries and stop at the ends.
  Click("device_select_prev");
  EXPECT_TRUE(m->IsSelected());
  Click("device_select_next");
  EXPECT_TRUE(k->IsSelected());
  EXPECT_FALSE(m->IsSelected());
  EXPECT_EQ(Tab("device_switch")->CurrentSel(), k->PageIndex());
  Click("device_select_next");
  Click("device_select_next");
  EXPECT_TRUE(h->IsSelected());
  EXPECT_EQ(selector().SelectedIndex(), 2);
  EXPECT_EQ(selector().SelectedType(), 7);

  // The selected device goes: the first other visible entry takes over.
  headset.Unplug(Link::kCable);
  ASSERT_TRUE(WaitFor([&] { return !h->IsEntryVisible(); }));
  EXPECT_TRUE(m->IsSelected());
  EXPECT_EQ(Tab("device_switch")->CurrentSel(), m->PageIndex());
  // A hidden entry is skipped: from the mouse, next is the keyboard; past it nothing.
  Click("device_select_next");
  EXPECT_TRUE(k->IsSelected());
  Click("device_select_next");
  EXPECT_TRUE(k->IsSelected());
  // A click on the icon selects it as the user does.
  ASSERT_TRUE(m->FindControl("device_select")->Activate());
  loop().RunPending();
  EXPECT_EQ(selector().SelectedIndex(), selector().IndexOf(m));
  EXPECT_FALSE(k->IsSelected());
}

TEST_F(SelectorTest, TwoCollectionsOfOneProductMakeOnePage) {
  auto& pad = Add(Product::kMousePad);
  pad.Plug(Link::kCable);
  Start();
  ASSERT_TRUE(WaitForTrace("添加一个鼠标垫设备", 2));
  EXPECT_EQ(selector().Count(), 3);
  ASSERT_EQ(wnd_->Devices()->MousePads().size(), 1u);
  auto* device = wnd_->Devices()->MousePads()[0];
  EXPECT_TRUE(device->CommandChannelRef().IsOpen());
  EXPECT_TRUE(device->EventWorkerRunning(false));
  EXPECT_EQ(device->DeviceOptionRow(), 2);
  // Gone and back: the page is kept.
  pad.Unplug(Link::kCable);
  ASSERT_TRUE(WaitForTrace("删除一个鼠标垫设备", 2));
  EXPECT_FALSE(device->CommandChannelRef().IsOpen());
  pad.Plug(Link::kCable);
  ASSERT_TRUE(WaitForTrace("添加一个鼠标垫设备", 4));
  EXPECT_EQ(selector().Count(), 3);
  EXPECT_TRUE(wnd_->Devices()->MousePads()[0]->CommandChannelRef().IsOpen());
}

TEST(DeviceIcons, EachTypeAndSubKindHasItsSet) {
  struct Case {
    int type, sub_kind;
    const char* normal;  // nullptr: the previous images stay
    const char* name_key;
  };
  const Case cases[] = {
      {1, 0, "kb_device_normal.png", "kb_device_name_text"},
      {2, 5, "ms_device_normal.png", "ms_device_name_text"},
      {3, 0, "hard_mp_device_normal.png", "hard_mp_device_name_text"},
      {3, 1, "soft_mp_device_normal.png", "soft_mp_device_name_text"},
      {3, 2, nullptr, nullptr},
      {4, 0, "hd_device_normal.png", "hd_device_name_text"},
      {7, 0, "hd_device_normal.png", "hd_device_name_text"},
      {5, 0, "hub_device_normal.png", "hub_device_name_text"},
      {9, 0, "unknow_device_normal.png", "unknow_device_name_text"},
  };
  for (const Case& c : cases) {
    const DeviceIconSet* set = IconSetFor(c.type, c.sub_kind);
    if (c.normal == nullptr) {
      EXPECT_EQ(set, nullptr) << c.type << "/" << c.sub_kind;
      continue;
    }
    ASSERT_NE(set, nullptr) << c.type;
    EXPECT_EQ(set->normal, c.normal);
    EXPECT_EQ(set->name_key, c.name_key);
  }
}

class EntryTest : public ControllerFixture {};

TEST_F(EntryTest, SubKindOneShowsTheSoftPadIconsAndTheSyncCheckSwapsThem) {
  Start();
  CDeviceOptionUI* e = selector().Entry(0);
  auto* option = dynamic_cast<ui::Option*>(e->FindControl("device_select"));
  ASSERT_NE(option, nullptr);
  e->SetType(3, 1);
  EXPECT_EQ(option->Image("normalimage"), "common/device_ico/soft_mp_device_normal.png");
  EXPECT_EQ(option->Image("selectedimage"), "common/device_ico/soft_mp_device_selected.png");
  EXPECT_EQ(e->FindControl("device_select_name")->TextKey(), "soft_mp_device_name_text");
  e->SetType(3, 2);  // keeps the images
  EXPECT_EQ(option->Image("normalimage"), "common/device_ico/soft_mp_device_normal.png");
  e->SetType(3, 0);
  EXPECT_EQ(option->Image("normalimage"), "common/device_ico/hard_mp_device_normal.png");
  // Pages are built with the sync check hidden; selected, it shows the sync images.
  EXPECT_FALSE(e->FindControl("synchro_device_select")->IsVisible());
  e->ShowSyncCheck(true);
  e->SetSync(true);
  EXPECT_TRUE(e->IsSyncSelected());
  EXPECT_EQ(option->Image("normalimage"), "common/device_ico/hard_mp_device_synchro_normal.png");
  e->SetSync(false);
  EXPECT_EQ(option->Image("selectedimage"), "common/device_ico/hard_mp_device_selected.png");
}

}  // namespace
}  // namespace brimvex::app::test
