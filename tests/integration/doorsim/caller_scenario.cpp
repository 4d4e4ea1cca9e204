// The caller scenarios the simulator's tests play with sipp against the unit.
#include "tests/integration/doorsim/caller_scenario.h"

namespace doorsim_test {
namespace {

const std::string kVia = "Via: SIP/2.0/[transport] [local_ip]:[local_port];branch=[branch]\n";
const std::string kContact = "Contact: <sip:sipp@[local_ip]:[local_port]>\n";
const std::string kDialog = "[last_From:]\n[last_To:]\n[last_Call-ID:]\n";
const std::string kOffer =
    "v=0\no=sipp 1 1 IN IP[local_ip_type] [local_ip]\ns=-\nc=IN IP[media_ip_type] [media_ip]\nt=0 0\n"
    "m=audio [media_port] RTP/AVP 0\na=rtpmap:0 PCMU/8000\n";

// One request to the unit: its headers after the request line, and an SDP body if any.
std::string Send(const std::string& method, const std::string& headers, const std::string& sdp = {},
                 bool retransmitted = false) {
  return std::string("<send") + (retransmitted ? " retrans=\"500\"" : "") + "><![CDATA[\n" + method +
         " sip:[service]@[remote_ip]:[remote_port] SIP/2.0\n" + headers + "Max-Forwards: 70\n" +
         (sdp.empty() ? "Content-Length: 0\n"
                      : "Content-Type: application/sdp\nContent-Length: [len]\n\n" + sdp) +
         "]]></send>\n";
}

}  // namespace

std::string CallerScenario(int final, const std::string& contact, int talkMs) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n<scenario name=\"caller\">\n" +
      Send("INVITE",
           kVia + "From: \"sipp\" <sip:sipp@[local_ip]:[local_port]>;tag=[pid]SIPpTag[call_number]\n" +
               "To: <sip:[service]@[remote_ip]:[remote_port]>\nCall-ID: [call_id]\nCSeq: 1 INVITE\n" +
               kContact,
           kOffer, true) +
      "<recv response=\"100\" optional=\"true\"/>\n<recv response=\"180\" optional=\"true\"/>\n";
  // A refusal is acknowledged in the INVITE's own transaction: its Via, branch included.
  if (final != 200)
    return xml + "<recv response=\"" + std::to_string(final) + "\"/>\n" +
           Send("ACK", "[last_Via:]\n" + kDialog + "CSeq: 1 ACK\n") + "</scenario>\n";
  // sipp sends requests inside the dialog to the unit's address whatever the Contact says, which is why
  // the Contact is checked with a pattern.
  std::string pattern = contact;
  for (size_t at = pattern.find('<'); at != std::string::npos; at = pattern.find('<'))
    pattern.replace(at, 1, "&lt;");
  return xml + "<recv response=\"200\"><action><ereg regexp=\"" + pattern +
         "\" search_in=\"hdr\" header=\"Contact:\" check_it=\"true\" "
         "assign_to=\"contact\"/></action></recv>\n"
         "<Reference variables=\"contact\"/>\n" +
         Send("ACK", kVia + kDialog + "CSeq: 1 ACK\n" + kContact) + "<pause milliseconds=\"" +
         std::to_string(talkMs) + "\"/>\n" +
         Send("BYE", kVia + kDialog + "CSeq: 2 BYE\n" + kContact, {}, true) +
         "<recv response=\"200\" crlf=\"true\"/>\n</scenario>\n";
}

}  // namespace doorsim_test
