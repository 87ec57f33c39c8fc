#pragma once
// A line protocol on standard input for the X input test, installed only when the
// environment sets WQK_TEST_HOOK: "pos NAME" answers the screen centre of a control
// (or "none" while it is hidden or disabled),
// "state" the fields that held buttons and STOP change. It only reads.
class WQK;

void installTestHook(WQK& w);
