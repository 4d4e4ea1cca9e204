// The settings dialog's control ids and the texts it shows.
#pragma once

constexpr int kFieldDoorAddress = 105;
constexpr int kBoxPopUp = 106;
constexpr int kListCapture = 107;
constexpr int kListPlayback = 108;
constexpr int kButtonVolumeCapture = 109;
constexpr int kButtonVolumePlayback = 110;
constexpr int kFieldIdentity = 112;
constexpr int kFieldSipServer = 113;
constexpr int kFieldExpiry = 114;
constexpr int kBoxUseSip = 115;
constexpr int kFieldDoorIdentity = 116;
constexpr int kLabelRegistration = 117;
constexpr int kFieldPassword = 121;
constexpr int kLabelDoorAddress = 122;
constexpr int kFieldCallPrefix = 125;

// The fields that only matter with a SIP server: read-only while "Use SIP server" is off.
constexpr int kSipFields[] = {kFieldSipServer, kFieldIdentity,     kFieldExpiry,
                              kFieldPassword,  kFieldDoorIdentity, kFieldCallPrefix};

// What an empty address field and an empty identity field are taken as.
constexpr const char* kDefaultDoorAddress = "192.168.001.250";
constexpr const char* kDefaultIdentity = "Kestrova";
