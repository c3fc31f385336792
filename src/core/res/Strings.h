// The string table: every text the user sees, exactly as the product writes it.
// UTF-8; the desktop client converts with QString::fromUtf8, the CLI prints as is.
#pragma once

namespace vantelsor::res {

// Message-box captions.
inline constexpr const char* kCaptionError = "错误";
inline constexpr const char* kCaptionInfo = "信息";
inline constexpr const char* kCaptionWarning = "警告";

// Login dialog validation.
inline constexpr const char* kInvalidAddress = "IP地址非法！";
inline constexpr const char* kUserNameEmpty = "用户名不能为空！";
inline constexpr const char* kUserNameLength = "用户名长度应为%d至%d字符！";
inline constexpr const char* kPasswordEmpty = "密码不能为空！";
inline constexpr const char* kPasswordLength = "密码长度应为%d至%d字符！";

// Start-up and login.
inline constexpr const char* kCommTimeout = "通讯超时！";
inline constexpr const char* kConnectFailed = "连接服务器端超时或出错！";
inline constexpr const char* kClientVersionHigher = "协议版本不一致，客户端协议版本高！";
inline constexpr const char* kServerVersionHigher = "协议版本不一致，服务器端协议版本高！";
inline constexpr const char* kBadUserOrPassword = "用户名或密码错误！";
inline constexpr const char* kUserAlreadyLoggedIn = "用户已登录！";
inline constexpr const char* kLoginSlotsFull = "登录用户已满！";

// Server events and the operation right.
inline constexpr const char* kServerDisconnected = "服务器断开，程序退出!";
inline constexpr const char* kControlRightLost = "操作权已经失去，无法再继续操作！";
inline constexpr const char* kControlRightGranted = "成功获取操作权！";
inline constexpr const char* kControlRightBusy = "操作权被占用！";
inline constexpr const char* kRebootQuestion = "即将重启前端备，确认吗？";

// Settings file key formats of the device book, formatted with the 1-based entry number.
inline constexpr const char* kDeviceKeyAddress = "IP%d";
inline constexpr const char* kDeviceKeyNote = "NOTE%d";
inline constexpr const char* kDeviceKeyUser = "USER%d";

}  // namespace vantelsor::res
