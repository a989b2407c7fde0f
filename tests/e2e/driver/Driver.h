#pragma once
// The end-to-end test driver: runs the real Tavu.exe (under Wine on Linux, or on Windows) in a fresh
// folder with a stand-in messenger, and watches and works it from outside as a user would.
//
//   TestFolder   a wiped folder per test; places Tavu.exe (under any name) and the stand-in as
//                ICQ.exe; writes and reads tavu.ini; lists files; reads the stand-in's log
//   Process      starts a program with arguments, working folder and environment; waits for its end
//   Window       message boxes (title, text, OK button), the information window by its caption, its
//                controls by control id: text, place in client pixels, focus, keys, clicks
//   Standin      the stand-in's timing (standin.cfg) and log (standin.log)
//   Clock        time stamps comparable with those in the stand-in's log
//
// The interface speaks UTF-8 and portable types; only the driver's .cpp files include <windows.h>.

#include "driver/Clock.h"
#include "driver/Files.h"
#include "driver/Process.h"
#include "driver/Settings.h"
#include "driver/Standin.h"
#include "driver/TestFolder.h"
#include "driver/Text.h"
#include "driver/Ui.h"
