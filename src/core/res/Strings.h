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

// Administration: common.
inline constexpr const char* kOrdinaryUserNoSettings = "普通用户无法设置，请联系管理员！";
inline constexpr const char* kLengthHint = "%d至%d字符";

// User management.
inline constexpr const char* kOrdinaryUserType = "普通用户";
inline constexpr const char* kAdministratorType = "管理员";
inline constexpr const char* kUserNameColumn = "用户名";
inline constexpr const char* kUserTypeColumn = "用户类型";
inline constexpr const char* kPasswordsDiffer = "两次密码输入不一致！";
inline constexpr const char* kUserNameExists = "用户名已存在！";
inline constexpr const char* kUserWriteFailed = "用户信息无法写入！";
inline constexpr const char* kDeleteUserQuestion = "确定要删除用户吗？";
inline constexpr const char* kCannotDeleteLoggedInUser = "无法删除登陆用户！";
inline constexpr const char* kDeleteUserFailed = "删除用户错误!";
inline constexpr const char* kOldPasswordWrong = "旧密码输入错误！";

// Network settings. A MAC text that does not parse is answered with the
// caption's text itself, kCaptionError.
inline constexpr const char* kMacEmpty = "MAC地址不能为空！";
inline constexpr const char* kIpAddressEmpty = "IP地址不能为空！";
inline constexpr const char* kSubnetMaskEmpty = "子网掩码不能为空！";
inline constexpr const char* kSubnetMaskInvalid = "非法的子网掩码！";
inline constexpr const char* kGatewayEmpty = "网关不能为空！";

// Video settings.
inline constexpr const char* kFrameRateChoices[] = {"5帧/秒",  "10帧/秒", "15帧/秒",
                                                    "20帧/秒", "25帧/秒", "30帧/秒"};
inline constexpr const char* kBitRateLabel = "码率 (%d~%d)";
inline constexpr const char* kBitRateRange = "码率值应在%d至%d之间！";
inline constexpr const char* kVideoSettingsFailed = "视频设置失败！";

// Sleep time.
inline constexpr const char* kSleepHint = "休眠时间应在%d至%d分钟之间!";
inline constexpr const char* kSleepNote = "注：若设置为0，则不休眠！";
inline constexpr const char* kSleepRange = "休眠时间为%d至%d分钟！";
inline constexpr const char* kSleepSetFailed = "设置休眠时间错误！";

// Device information.
inline constexpr const char* kDeviceNameLength = "设备名称长度应为%d至%d字符！";

// Firmware upgrade.
inline constexpr const char* kFirmwareNoFile = "请选择固件文件。";
inline constexpr const char* kFirmwareFileError = "固件文件错误！";
inline constexpr const char* kFirmwareFailed = "固件升级失败！";
inline constexpr const char* kFirmwareSucceeded = "固件升级成功！";

// Log viewer.
inline constexpr const char* kLogColumnTime = "时间";
inline constexpr const char* kLogColumnAddress = "IP地址";
inline constexpr const char* kLogColumnUser = "用户名";
inline constexpr const char* kLogColumnEvent = "事件";
inline constexpr const char* kLogEventLogin = "登录";
inline constexpr const char* kLogEventLogout = "登出";
inline constexpr const char* kClearLogQuestion = "确定要清空日志吗？";
inline constexpr const char* kClearLogFailed = "清除日志出错！";

// Main window: title, menus, questions.
inline constexpr const char* kAppTitle = "IP KVM控制软件";
inline constexpr const char* kTitleUserLabel = "当前登录用户";
inline constexpr const char* kExitQuestion = "确定要退出吗？";
inline constexpr const char* kLogoutQuestion = "确定要注销当前用户吗？";
inline constexpr const char* kMenuControl = "控制(&C)";
inline constexpr const char* kMenuTakeControl = "获得操作权(&O)";
inline constexpr const char* kMenuCtrlAltDel = "发送CTRL + ALT + DEL(&A)";
inline constexpr const char* kMenuPrintScreen = "发送Print Screen(&P)";
inline constexpr const char* kMenuReboot = "重启设备(&R)";
inline constexpr const char* kMenuLogout = "注销(&L)";
inline constexpr const char* kMenuExit = "退出(&X)";
inline constexpr const char* kMenuSettings = "设置(&S)";
inline constexpr const char* kMenuCursor = "光标(&C)";
inline constexpr const char* kMenuSyncPointer = "同步鼠标(&S)";
inline constexpr const char* kMenuView = "查看(&V)";
inline constexpr const char* kMenuAlwaysOnTop = "总在最前(&T)";
inline constexpr const char* kMenuToolbar = "工具栏(&T)";
inline constexpr const char* kMenuHelp = "帮助(&H)";
inline constexpr const char* kMenuAbout = "关于 Vantelsor(&A)...";
// Status-bar prompts and tooltips of the commands.
inline constexpr const char* kPromptTakeControl = "获得操作权";
inline constexpr const char* kPromptCtrlAltDel = "发送CTRL + ALT + DEL";
inline constexpr const char* kPromptReboot = "重启设备";
inline constexpr const char* kPromptLogout = "注销";
inline constexpr const char* kPromptExit = "退出";
inline constexpr const char* kPromptCursor = "设置光标";
inline constexpr const char* kPromptAlwaysOnTop = "总在最前";
inline constexpr const char* kPromptAbout = "关于";
inline constexpr const char* kTooltipSyncPointer = "同步鼠标";

// Login dialog.
inline constexpr const char* kLoginTitle = "登录";
inline constexpr const char* kLoginUser = "用户名";
inline constexpr const char* kLoginPassword = "密码";
inline constexpr const char* kLoginAddress = "前端设备IP地址";
inline constexpr const char* kLoginEncryption = "加密方式";
inline constexpr const char* kClearUsers = "清除用户列表";
inline constexpr const char* kClearAddresses = "清除IP地址列表";
inline constexpr const char* kButtonOk = "确定";
inline constexpr const char* kButtonCancel = "取消";
inline constexpr const char* kEncryptNone = "都不加密";
inline constexpr const char* kEncryptBoth = "都加密";
inline constexpr const char* kEncryptKeyboard = "键盘加密";
inline constexpr const char* kEncryptMouse = "鼠标加密";

// Connecting dialog.
inline constexpr const char* kConnectingTitle = "连接中";
inline constexpr const char* kConnectingText = "正在连接，请稍后...";

// Cursor dialog.
inline constexpr const char* kCursorTitle = "光标设置";
inline constexpr const char* kCursorShown = "显示本地光标";
inline constexpr const char* kCursorHidden = "不显示本地光标(按CTRL+ALT+向下键退出)";

// About box. The two lines below the version and the link are this product's own.
inline constexpr const char* kAboutTitle = "关于";
inline constexpr const char* kAboutVersion = "IP KVM控制软件 1.2.1 版";
inline constexpr const char* kAboutLine1 = "Vantelsor IP KVM 控制台客户端";
inline constexpr const char* kAboutLine2 = "Copyright (C) Vantelsor 项目";
inline constexpr const char* kAboutLink = "https://vantelsor.example.org/";

// Settings file key formats of the device book, formatted with the 1-based entry number.
inline constexpr const char* kDeviceKeyAddress = "IP%d";
inline constexpr const char* kDeviceKeyNote = "NOTE%d";
inline constexpr const char* kDeviceKeyUser = "USER%d";

}  // namespace vantelsor::res
