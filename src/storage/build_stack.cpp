#include <algorithm>
#include <cstring>
#include <set>

#include "storage/drive_identify.h"
#include "storage/drives.h"
#include "storage/storage_scan.h"
#include "support/text.h"

namespace {
constexpr uint32_t bus_type_raid = 8;
constexpr size_t identify_match_bytes = 94;

bool has_identify(const drive_info& d) { return d.identify_source != 0; }
bool has_smart(const drive_info& d) { return d.smart_source != 0; }

const controller_info* controller_of(const storage_stack& model, const drive_info& d) {
  for (const controller_info& c : model.controllers)
    if (c.instance_id == d.parent_instance_id) return &c;
  return nullptr;
}

// The controller's record of this drive: same IDENTIFY start, or the same serial.
const phy_drive* find_phy(const controller_info& c, const drive_info& d, indenting_logger* log) {
  for (size_t i = 0; i < c.phys.size(); ++i) {
    const phy_drive& p = c.phys[i];
    if (has_identify(d) && p.has_identify &&
        std::memcmp(p.identify.data(), d.identify.data(), identify_match_bytes) == 0) {
      log->log(2, "Matched to                   %zu via IDENTIFY\n", i);
      return &p;
    }
    // Two missing serials say nothing about being the same drive.
    if (!d.serial.empty() && p.serial == d.serial) {
      log->log(2, "Matched to                   %zu via serial\n", i);
      return &p;
    }
  }
  return nullptr;
}

const phy_drive* phy_by_number(const controller_info& c, uint32_t number) {
  for (const phy_drive& p : c.phys)
    if (p.number == number) return &p;
  return nullptr;
}

const raid_volume* raid_volume_of(const controller_info& c, const drive_info& d, std::vector<size_t>& csmi_next,
                                  size_t controller_index) {
  if (c.protocol == controller_protocol::csmi) {
    const size_t k = csmi_next[controller_index]++;
    return k < c.raid_volumes.size() ? &c.raid_volumes[k] : nullptr;
  }
  for (const raid_volume& v : c.raid_volumes)
    for (const std::string& id : d.device_ids)
      if (v.unique_id == id) return &v;
  return nullptr;
}

class stack_builder {
 public:
  stack_builder(storage_stack& model, indenting_logger* log)
      : model_(model), log_(log), csmi_next_(model.controllers.size(), 0) {}

  void add_drives() {
    for (size_t i = 0; i < model_.drives.size(); ++i) add_drive(i);
  }

  // Drives that only their controller knows, after all the others.
  void add_inaccessible() {
    for (const controller_info& c : model_.controllers)
      for (const phy_drive& p : c.phys)
        if (!used_.count(&p)) model_.stack.push_back({nullptr, &c, nullptr, {&p}});
  }

 private:
  void add_drive(size_t index) {
    drive_info& d = model_.drives[index];
    log_->unindent(log_->indentation());
    log_->log(2, "%2zu. %s\n", index + 1, to_utf8(d.device_path).c_str());
    log_->indent(4);
    log_->log(2, "Serial                       [%s]\n", d.serial.c_str());
    log_->log(2, "Bus types                    %u %u\n", unsigned(d.bus_type), unsigned(d.adapter_bus_type));
    stack_entry entry{&d, controller_of(model_, d), nullptr, {}};
    if (!entry.controller) {
      log_->log(2, "Storage controller           -\n");
    } else {
      log_->log(2, "Storage controller           %s\n", entry.controller->description.c_str());
      if (!match_on_controller(d, entry)) return;
    }
    adopt_health_raw(d);
    model_.stack.push_back(std::move(entry));
  }

  // False when the drive became an array entry of its own.
  bool match_on_controller(drive_info& d, stack_entry& entry) {
    const controller_info& c = *entry.controller;
    const bool raid_bus = d.adapter_bus_type == bus_type_raid;
    const bool look = has_identify(d) || !raid_bus || !d.serial.empty();
    const phy_drive* phy = look ? find_phy(c, d, log_) : nullptr;
    if (phy) {
      use_phy(d, *phy, entry);
      return true;
    }
    if ((has_identify(d) || !raid_bus) && c.protocol == controller_protocol::csmi) {
      log_->log(0, "NOT FOUND on the controller drive list!\n");
      return true;
    }
    const size_t ci = size_t(&c - model_.controllers.data());
    const raid_volume* volume = raid_volume_of(c, d, csmi_next_, ci);
    if (!volume) {
      log_->log(2, "RAID volume                  -\n");
      log_->log(0, "NOT FOUND on the controller drive list!\n");
      return true;
    }
    std::set<const phy_drive*> taken;
    for (const auto* list : {&volume->drives, &volume->spares}) {
      for (uint32_t number : *list) {
        const phy_drive* member = phy_by_number(c, number);
        if (!member || !taken.insert(member).second) continue;
        entry.members.push_back(member);
        used_.insert(member);
      }
    }
    entry.raid = volume;
    log_->log(2, "RAID volume                  #%zu\n", size_t(volume->number));
    for (size_t j = 0; j < entry.members.size(); ++j)
      log_->log(2, "%2zu. [%s]\n", j + 1, entry.members[j]->serial.c_str());
    model_.stack.push_back(std::move(entry));
    return false;
  }

  void use_phy(drive_info& d, const phy_drive& phy, stack_entry& entry) {
    if (!used_.insert(&phy).second) log_->log(0, "WTH #1\n");
    entry.members.push_back(&phy);
    if (!has_identify(d) && phy.has_identify) {
      d.identify = phy.identify;
      d.identify_source = source_ctrl;
      log_->log(2, "Cloned IDENTIFY from PHY info\n");
      update_names_from_identify(d, log_);
    }
    if (!has_smart(d) && phy.has_smart) {
      d.smart = phy.smart;
      d.smart_source = source_ctrl;
      log_->log(2, "Cloned SMART data from PHY info\n");
    }
  }

  void adopt_health_raw(drive_info& d) {
    if (has_smart(d) || !d.has_health_raw) return;
    d.smart.attributes = d.health_raw;
    d.smart_source = source_os;
    log_->log(2, "Cloned SMART attributes from HealthRaw data\n");
  }

  storage_stack& model_;
  indenting_logger* log_;
  std::vector<size_t> csmi_next_;  // per controller: the RAID volume the next unmatched drive gets
  std::set<const phy_drive*> used_;
};

bool volume_before(const volume_info& a, const volume_info& b) {
  if (a.extents.empty() != b.extents.empty()) return !a.extents.empty();
  if (a.extents.empty()) return a.volume_name < b.volume_name;
  const volume_extent& x = a.extents[0];
  const volume_extent& y = b.extents[0];
  if (x.disk_number != y.disk_number) return x.disk_number < y.disk_number;
  return x.offset < y.offset;
}

drive_info* drive_numbered(storage_stack& model, uint32_t number, int* index = nullptr) {
  for (size_t i = 0; i < model.drives.size(); ++i) {
    if (model.drives[i].device_number != number) continue;
    if (index) *index = int(i);
    return &model.drives[i];
  }
  return nullptr;
}

// Each extent becomes a slice of the partition that wholly holds it.
void place_extents(storage_stack& model) {
  for (drive_info& d : model.drives)
    for (drive_partition& p : d.partitions) p.slices.clear();
  for (volume_info& v : model.volumes) {
    if (v.vds_matched && v.vds_volume_type != 11) {
      std::sort(v.extents.begin(), v.extents.end(), [](const volume_extent& a, const volume_extent& b) {
        return a.disk_number != b.disk_number ? a.disk_number < b.disk_number : a.offset < b.offset;
      });
    }
    for (volume_extent& e : v.extents) {
      drive_partition* holder = nullptr;
      if (drive_info* d = drive_numbered(model, e.disk_number)) {
        for (drive_partition& p : d->partitions) {
          if (!p.gap && p.offset <= e.offset && e.offset + e.length <= p.offset + p.length) {
            holder = &p;
            break;
          }
        }
      }
      if (holder) holder->slices.push_back({e.offset, e.length, -1});
      else e.flags |= extent_outside_partitions;
    }
  }
}

void link_extents(storage_stack& model) {
  model.volume_links.clear();
  for (size_t vi = 0; vi < model.volumes.size(); ++vi) {
    volume_info& v = model.volumes[vi];
    for (size_t ei = 0; ei < v.extents.size(); ++ei) {
      volume_extent& e = v.extents[ei];
      int di = -1;
      if (drive_info* d = drive_numbered(model, e.disk_number, &di)) {
        for (size_t pi = 0; pi < d->partitions.size(); ++pi) {
          const drive_partition& p = d->partitions[pi];
          if (p.gap) continue;  // gap records never receive a link
          for (size_t si = 0; si < p.slices.size(); ++si) {
            if (p.slices[si].offset != e.offset || p.slices[si].length != e.length) continue;
            model.volume_links.push_back({di, int(pi), int(si), int(vi), int(ei)});
            pi = d->partitions.size() - 1;  // first match only
            break;
          }
        }
      }
      e.link = -1;
    }
    v.link = -1;
  }
  for (size_t k = 0; k < model.volume_links.size(); ++k) {
    const volume_link& l = model.volume_links[k];
    model.volumes[size_t(l.volume)].link = int(k);
    model.volumes[size_t(l.volume)].extents[size_t(l.extent)].link = int(k);
    model.drives[size_t(l.drive)].partitions[size_t(l.partition)].slices[size_t(l.slice)].link = int(k);
  }
}
}  // namespace

void build_stack(storage_stack& model, logger* target) {
  indenting_logger* log = new indenting_logger(target ? target : &a_null_logger::instance);
  log->log(2, "Building the storage stack...\n");
  log->indent(2);
  model.stack.clear();
  std::stable_sort(model.drives.begin(), model.drives.end(),
                   [](const drive_info& a, const drive_info& b) { return a.device_number < b.device_number; });
  stack_builder builder(model, log);
  builder.add_drives();
  builder.add_inaccessible();
  std::sort(model.volumes.begin(), model.volumes.end(), volume_before);
  place_extents(model);
  for (drive_info& d : model.drives) normalize_partitions(d);
  link_extents(model);
  log->release();
}
