// The caller scenarios the simulator's tests play with sipp against the unit.
#include "tests/unit/doorsim/caller_scenario.h"

namespace doorsim_test {
namespace {

constexpr const char* kInvite = R"(
  <send retrans="500">
    <![CDATA[
      INVITE sip:[service]@[remote_ip]:[remote_port] SIP/2.0
      Via: SIP/2.0/[transport] [local_ip]:[local_port];branch=[branch]
      From: "sipp" <sip:sipp@[local_ip]:[local_port]>;tag=[pid]SIPpTag[call_number]
      To: <sip:[service]@[remote_ip]:[remote_port]>
      Call-ID: [call_id]
      CSeq: 1 INVITE
      Contact: <sip:sipp@[local_ip]:[local_port]>
      Max-Forwards: 70
      Content-Type: application/sdp
      Content-Length: [len]

      v=0
      o=sipp 1 1 IN IP[local_ip_type] [local_ip]
      s=-
      c=IN IP[media_ip_type] [media_ip]
      t=0 0
      m=audio [media_port] RTP/AVP 0
      a=rtpmap:0 PCMU/8000
    ]]>
  </send>
  <recv response="100" optional="true"/>
  <recv response="180" optional="true"/>
)";

// Requests inside the dialog; sipp sends them to the unit's address whatever the Contact says,
// which is why the Contact is checked with a pattern.
constexpr const char* kTalkAndBye = R"(
  <send>
    <![CDATA[
      ACK sip:[service]@[remote_ip]:[remote_port] SIP/2.0
      Via: SIP/2.0/[transport] [local_ip]:[local_port];branch=[branch]
      [last_From:]
      [last_To:]
      [last_Call-ID:]
      CSeq: 1 ACK
      Contact: <sip:sipp@[local_ip]:[local_port]>
      Max-Forwards: 70
      Content-Length: 0
    ]]>
  </send>
  <pause milliseconds="TALK"/>
  <send retrans="500">
    <![CDATA[
      BYE sip:[service]@[remote_ip]:[remote_port] SIP/2.0
      Via: SIP/2.0/[transport] [local_ip]:[local_port];branch=[branch]
      [last_From:]
      [last_To:]
      [last_Call-ID:]
      CSeq: 2 BYE
      Contact: <sip:sipp@[local_ip]:[local_port]>
      Max-Forwards: 70
      Content-Length: 0
    ]]>
  </send>
  <recv response="200" crlf="true"/>
)";

// A refusal is acknowledged in the INVITE's own transaction: its Via, branch included.
constexpr const char* kAckRefusal = R"(
  <send>
    <![CDATA[
      ACK sip:[service]@[remote_ip]:[remote_port] SIP/2.0
      [last_Via:]
      [last_From:]
      [last_To:]
      [last_Call-ID:]
      CSeq: 1 ACK
      Max-Forwards: 70
      Content-Length: 0
    ]]>
  </send>
)";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

}  // namespace

std::string CallerScenario(int final, const std::string& contact, int talkMs) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n<scenario name=\"caller\">";
  xml += kInvite;
  if (final == 200) {
    xml +=
        "  <recv response=\"200\"><action><ereg regexp=\"" + ReplaceAll(contact, "<", "&lt;") +
        "\" search_in=\"hdr\" header=\"Contact:\" check_it=\"true\" assign_to=\"contact\"/></action></recv>\n"
        "  <Reference variables=\"contact\"/>\n";
    xml += ReplaceAll(kTalkAndBye, "TALK", std::to_string(talkMs));
  } else {
    xml += "  <recv response=\"" + std::to_string(final) + "\"/>\n";
    xml += kAckRefusal;
  }
  return xml + "</scenario>\n";
}

}  // namespace doorsim_test
