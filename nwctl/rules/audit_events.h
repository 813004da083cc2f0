// The events of plan --apply's audit log, by the names its lines carry:
// written by audit_log, read back by audit_reading for the report.
#pragma once

constexpr char kAuditSent[] = "sent";
constexpr char kAuditNotSent[] = "not sent";
constexpr char kAuditAnswer[] = "answer";
constexpr char kAuditUnchanged[] = "unchanged";
constexpr char kAuditVerify[] = "verify";
constexpr char kAuditInterrupted[] = "interrupted";
